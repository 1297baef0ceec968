"""Radiometric snapshots: JPEG pictures that carry the raw frame in APP1 segments.

Only the information segment and the pixel segments are read, each within its own length,
and every size is checked against the picture size the information block claims, so a
damaged or hostile file gives an IrdexError, never a wrong frame.
"""

import os
import struct

import numpy as np

from . import _library as L
from .stream import Frame, _Source

_MAX_FILE_BYTES = 256 * 1024 * 1024  # no camera's snapshot comes near this
_INFO_BYTES = 260
_CAMERA_HEADER_BYTES = 512
_SEGMENT_HEADER_BYTES = 32
_PIXEL_CHUNK_BYTES = 61440
_MAX_WIDTH = 640
_MAX_ROWS = 481
_EXTRA_ROW_VERSION = 33  # these cameras keep one further row in memory; files never carry it
_KIND_INFORMATION = 0
_KIND_PIXELS = 1


def _read_segments(data, path):
    """(information payload, pixel bytes) of a snapshot's bytes."""

    def damaged(what):
        return L.IrdexError("%s: %s" % (path, what))

    if data[:2] != b"\xff\xd8":
        raise damaged("not a JPEG file")
    position = 2
    info = None
    pixel_bytes = None
    while len(data) - position >= 2:
        if data[position] != 0xFF or data[position + 1] not in (0xE0, 0xE1):
            break
        marker = data[position + 1]
        position += 2
        if len(data) - position < 2:
            raise damaged("a segment is cut short")
        (length,) = struct.unpack_from(">H", data, position)
        position += 2
        if length < 2:
            raise damaged("a segment length below 2")
        if marker == 0xE0:
            if len(data) - position < length - 2:
                raise damaged("a segment is cut short")
            position += length - 2
            continue
        if len(data) - position < _SEGMENT_HEADER_BYTES:
            raise damaged("an IR segment header is cut short")
        header = data[position:position + _SEGMENT_HEADER_BYTES]
        position += _SEGMENT_HEADER_BYTES
        if header[:2] != b"KT":
            raise damaged("no IR data")
        if length < 2 + _SEGMENT_HEADER_BYTES:
            raise damaged("an IR segment shorter than its header")
        payload_bytes = length - 2 - _SEGMENT_HEADER_BYTES
        if len(data) - position < payload_bytes:
            raise damaged("a segment is cut short")
        payload = data[position:position + payload_bytes]
        position += payload_bytes
        kind = header[4]
        if kind == _KIND_INFORMATION:
            if len(payload) < _INFO_BYTES + _CAMERA_HEADER_BYTES:
                raise damaged("the information segment is too short")
            info = bytes(payload[:_INFO_BYTES + _CAMERA_HEADER_BYTES])
            width, height = struct.unpack_from("<HH", info, 0)
            version = info[_INFO_BYTES + L.HEADER_VERSION]
            rows = height + (1 if version >= _EXTRA_ROW_VERSION else 0)
            if width == 0 or height == 0 or width > _MAX_WIDTH or rows > _MAX_ROWS:
                raise damaged("a picture size no camera has (%d x %d)" % (width, height))
            # A later information segment starts the frame afresh.
            pixel_bytes = bytearray(2 * width * rows)
        elif kind == _KIND_PIXELS:
            count, index = header[5], header[6]
            if pixel_bytes is None:
                raise damaged("pixels before the information segment")
            if index == 0 or index > count or len(payload) > _PIXEL_CHUNK_BYTES:
                raise damaged("a pixel segment out of place")
            at = (index - 1) * _PIXEL_CHUNK_BYTES
            if at + len(payload) > len(pixel_bytes):
                raise damaged("pixel segments beyond the picture")
            pixel_bytes[at:at + len(payload)] = payload
    if info is None:
        raise damaged("no IR data")
    return info, pixel_bytes


class Snapshot(_Source):
    """A radiometric snapshot: one frame with the parameters it was taken with."""

    def __init__(self, path):
        self.path = os.fspath(path)
        self._converter = None
        try:
            if os.path.getsize(self.path) > _MAX_FILE_BYTES:
                raise L.IrdexError("%s is too large for a snapshot" % self.path)
            with open(self.path, "rb") as file:
                data = file.read()
        except OSError as error:
            raise L.IrdexError("cannot open %s: %s" % (self.path, error.strerror)) from None
        info, pixel_bytes = _read_segments(memoryview(data), self.path)
        self.info_block = info[:_INFO_BYTES]
        self.camera_header = info[_INFO_BYTES:]
        (self.width, self.height, self.agc_mode) = struct.unpack_from("<HHB", info, 0)
        level, span = struct.unpack_from("<hh", info, 6)
        (atmosphere,) = struct.unpack_from("<i", info, 12)
        transmission, emissivity = struct.unpack_from("<HH", info, 16)
        self.level = level / 10.0
        self.span = span / 10.0
        self.atmospheric_temp = atmosphere / 1000.0
        self.transmission = transmission / 1000.0
        self.emissivity = emissivity / 1000.0
        (self.dynamic_range, self.palette, zoom, self.invert, self.mirror, self.flip,
         self.temp_unit) = struct.unpack_from("<7B", info, 20)
        self.zoom = zoom / 10.0
        self.frame_count = 1
        self._all_pixels = np.frombuffer(bytes(pixel_bytes), dtype="<u2").astype(np.uint16)
        self._pixels_per_frame = self._all_pixels.size

    def frame(self, index):
        if index != 0:
            raise IndexError("a snapshot holds one frame")
        count = self.width * self.height
        counts = self._all_pixels[:count].reshape(self.height, self.width)
        extra = self._all_pixels[count:] if self._all_pixels.size > count else None
        return Frame(self, 0, counts, extra_row=extra)

    def __repr__(self):
        return "<irdex.Snapshot %s %dx%d>" % (self.path, self.width, self.height)
