"""Radiometric video (.hxr stream files) and snapshots, opened by `irdex.open`."""

import builtins
import ctypes
import datetime
import os

import numpy as np

from . import _library as L
from ._conversion import Converter, env_params

# Stream file layout facts the reader needs to count and place frames.
_SHORT_HEADER_VERSION = 16  # up to this version no header extension follows
_TIME_STAMP_VERSION = 20  # from this version frames carry a time stamp and filler
_EXTRA_ROW_VERSION = 32  # from this version frames carry one further row


def _library_width(pixel_count):
    # The library's version-2 exports place frames by a width derived from the pixel count
    # alone; counting frames the same way keeps this reader on the library's frame grid.
    if pixel_count == 307200:
        return 640
    if 76800 <= pixel_count <= 77039:
        return 320
    return 384


def _frame_bytes(version, pixel_count):
    width = _library_width(pixel_count)
    if version < _TIME_STAMP_VERSION:
        return 2 * pixel_count + 8
    if version < _EXTRA_ROW_VERSION:
        return 2 * (pixel_count + width)
    return 2 * (pixel_count + 2 * width)


class Frame:
    """One frame: raw counts, degrees Celsius, and when it was taken."""

    def __init__(self, source, index, counts, timing=None, timestamp=None, extra_row=None):
        self._source = source
        self.index = index
        self.counts = counts
        self.timing = timing
        self.timestamp = timestamp
        self.extra_row = extra_row
        self._celsius = None

    @property
    def time(self):
        """The wall-clock time the frame was written (UTC), when the file keeps it."""
        if self.timestamp is None:
            return None
        return datetime.datetime.fromtimestamp(self.timestamp, tz=datetime.timezone.utc)

    @property
    def celsius(self):
        """Temperatures in degrees Celsius with the file's emissivity and atmosphere."""
        if self._celsius is None:
            self._celsius = self.temperatures()
        return self._celsius

    def temperatures(self, emissivity=None, atmospheric_temp=None, transmission=None):
        """Temperatures in degrees Celsius; each given value overrides the file's own."""
        return self._source._celsius(self, emissivity, atmospheric_temp, transmission)

    def __repr__(self):
        return "<irdex.Frame %d %dx%d>" % (self.index, self.counts.shape[1], self.counts.shape[0])


class _Frames:
    """The frames of a file as a sequence, read one by one when asked for."""

    def __init__(self, source):
        self._source = source

    def __len__(self):
        return self._source.frame_count

    def __getitem__(self, index):
        if isinstance(index, slice):
            return [self[i] for i in range(*index.indices(len(self)))]
        if index < 0:
            index += len(self)
        if not 0 <= index < len(self):
            raise IndexError("frame %d of %d" % (index, len(self)))
        return self._source.frame(index)

    def __iter__(self):
        for index in range(len(self)):
            yield self._source.frame(index)


class _Source:
    """What stream files and snapshots share: header attributes, conversion, closing."""

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def __del__(self):
        try:
            self.close()
        except Exception:
            pass

    @property
    def frames(self):
        return _Frames(self)

    def __iter__(self):
        return iter(self.frames)

    def __len__(self):
        return self.frame_count

    @property
    def camera_version(self):
        """The camera's header version: 0..16 first generation, 17..31 KT, 32 and above KS."""
        return self.camera_header[L.HEADER_VERSION]

    @property
    def model(self):
        return self.camera_header[L.HEADER_MODEL]

    @property
    def range_index(self):
        return self.camera_header[L.HEADER_RANGE_INDEX]

    def _converter_for(self):
        # A closed file keeps no calibration slot, so a frame kept from it cannot convert.
        if getattr(self, "_closed", False):
            raise L.IrdexError("%s is closed" % self.path)
        if self._converter is None:
            self._converter = Converter(
                self.camera_header, self.width, self.height, self._pixels_per_frame
            )
        return self._converter

    def _celsius(self, frame, emissivity, atmospheric_temp, transmission):
        env = env_params(
            self.emissivity if emissivity is None else emissivity,
            self.atmospheric_temp if atmospheric_temp is None else atmospheric_temp,
            self.transmission if transmission is None else transmission,
        )
        pixels = frame.counts.reshape(-1)
        if frame.extra_row is not None:
            pixels = np.concatenate([pixels, frame.extra_row])
        return self._converter_for().celsius(pixels, env)

    def close(self):
        self._closed = True
        if getattr(self, "_converter", None) is not None:
            self._converter.close()
            self._converter = None


class StreamFile(_Source):
    """An IR stream file (.hxr) as the analyzer records it."""

    def __init__(self, path):
        self.path = os.fspath(path)
        self._converter = None
        self._handle = ctypes.c_void_p()
        length = ctypes.c_int32()
        status = L.lib.LoadIRImage(
            ctypes.byref(self._handle), os.fsencode(self.path), ctypes.byref(length)
        )
        if status != L.SUCCESS or not self._handle:
            self._handle = ctypes.c_void_p()
            raise L.IrdexError("cannot open %s" % self.path, status)
        header = L.IRHeader()
        ext = L.IRHeaderExt()
        first = ctypes.c_int32()
        status = L.lib.GetIRHeaders(
            self._handle, ctypes.byref(header), ctypes.byref(ext), ctypes.byref(first)
        )
        if status != L.SUCCESS:
            self.close()
            raise L.IrdexError("%s has no whole stream header" % self.path, status)
        self.version = header.version
        self.width = header.width
        self.height = header.height
        if self.width == 0 or self.height == 0:
            self.close()
            raise L.IrdexError("%s claims an empty picture (%d x %d)" % (
                self.path, self.width, self.height))
        self.emissivity = header.emissivity
        self.atmospheric_temp = header.atmosphericTemp
        self.transmission = header.transmission
        extended = self.version > _SHORT_HEADER_VERSION
        self.recorder = ext.recorder if extended else None
        self.camera_header = bytes(ext.camHeader) if extended else bytes(512)
        self.start_time = None
        if extended:
            try:
                self.start_time = datetime.datetime(
                    ext.year, ext.month, ext.day, ext.hour, ext.minute, ext.second)
            except ValueError:
                pass  # a recorder without a clock leaves the fields out of range
        self._file_length = length.value
        self._first_frame = first.value
        pixel_count = self.width * self.height
        self._read_version = min(self.version, _EXTRA_ROW_VERSION)
        self._extra = (
            _library_width(pixel_count) if self._read_version >= _EXTRA_ROW_VERSION else 0
        )
        self._pixels_per_frame = pixel_count + self._extra
        self._frame_bytes = _frame_bytes(self._read_version, pixel_count)
        room = self._file_length - self._first_frame
        self.frame_count = max(0, room // self._frame_bytes)

    def frame(self, index):
        if not self._handle:
            raise L.IrdexError("%s is closed" % self.path)
        if not 0 <= index < self.frame_count:
            raise IndexError("frame %d of %d" % (index, self.frame_count))
        pixels = np.zeros(self._pixels_per_frame, dtype=np.uint16)
        offset = ctypes.c_int32(self._first_frame + index * self._frame_bytes)
        timing = ctypes.c_int32()
        stamp = ctypes.c_int64()
        status = L.lib.GetIRImageFromStream_v2(
            self._handle,
            pixels.ctypes.data_as(ctypes.POINTER(ctypes.c_uint16)),
            self.width * self.height,
            self._file_length,
            ctypes.byref(offset),
            ctypes.byref(timing),
            ctypes.byref(stamp),
            0,
            self._read_version,
        )
        # The last frame comes with the end-of-stream status.
        if status not in (L.SUCCESS, L.END_OF_IR_IMAGE):
            raise L.IrdexError("frame %d of %s" % (index, self.path), status)
        count = self.width * self.height
        counts = pixels[:count].reshape(self.height, self.width)
        extra = pixels[count:] if self._extra else None
        has_stamp = self._read_version >= _TIME_STAMP_VERSION
        return Frame(self, index, counts, timing.value, stamp.value if has_stamp else None, extra)

    def close(self):
        super().close()
        if getattr(self, "_handle", None):
            L.lib.CloseIRStream(self._handle)
            self._handle = ctypes.c_void_p()

    def __repr__(self):
        return "<irdex.StreamFile %s v%d %dx%d, %d frames>" % (
            self.path, self.version, self.width, self.height, self.frame_count)


def open(path):
    """Opens a radiometric video (.hxr stream file) or a radiometric snapshot (JPEG)."""
    path = os.fspath(path)
    try:
        with builtins.open(path, "rb") as file:
            start = file.read(3)
    except OSError as error:
        raise L.IrdexError("cannot open %s: %s" % (path, error.strerror)) from None
    if start[:2] == b"\xff\xd8":
        from .snapshot import Snapshot

        return Snapshot(path)
    if start == b"HXR":
        raise L.IrdexError(
            "%s is a signed HXR container; this module reads stream files and snapshots" % path)
    return StreamFile(path)
