"""Live frames from a camera over its TCP link."""

import ctypes
import time

import numpy as np

from . import _library as L

_STAGING_BYTES = 8192  # the receiver's staging buffer, as the library expects it
_MAX_PIXELS = 640 * 481  # the largest camera, with its extra row
_COMMAND_HEADER = 7  # asks for the system data and the camera header
_COMMAND_START = 3
_COMMAND_STOP = 4
_KIND_FRAME = 5
_KIND_HEADER = 8
_EXTRA_ROW_VERSION = 33  # KS cameras with calibration send one further row


class LiveFrame:
    """One received frame: counts and degrees Celsius, with its arrival time (Unix seconds)."""

    def __init__(self, index, counts, celsius, timestamp):
        self.index = index
        self.counts = counts
        self.celsius = celsius
        self.timestamp = timestamp

    def __repr__(self):
        return "<irdex.LiveFrame %d %dx%d>" % (self.index, self.counts.shape[1], self.counts.shape[0])


class Camera:
    """A connection to one camera. Frames are converted as they arrive, with the
    emissivity and atmosphere given to `connect`."""

    def __init__(self, address, port, emissivity, atmospheric_temp, transmission, max_packets):
        self.address = address
        self.port = int(port)
        self._env = L.EnvParams(emissivity, atmospheric_temp, transmission, 0.0)
        self._max_packets = max_packets
        self._socket = ctypes.c_int32(-1)
        self._timer = ctypes.c_void_p()
        self._pixels = np.zeros(_MAX_PIXELS, dtype=np.uint16)
        self._staging = (ctypes.c_uint8 * _STAGING_BYTES)()
        self._frame = L.IRFrame()
        self._frame.pixels = self._pixels.ctypes.data_as(ctypes.POINTER(ctypes.c_uint16))
        self._frame.pixelCapacity = self._pixels.size
        self._frame.staging = ctypes.cast(self._staging, ctypes.POINTER(ctypes.c_uint8))
        self._frame.packetKind = -1
        self._table = None
        self._table_range = None
        self._streaming = False
        status = L.lib.OpenConnect(
            ctypes.byref(self._socket), ctypes.byref(self._timer),
            address.encode(), str(self.port).encode(), 2, 1)
        if status != L.SUCCESS:
            raise L.IrdexError("cannot connect to %s:%d" % (address, self.port), status)
        self._send(_COMMAND_HEADER)
        self._wait_for(_KIND_HEADER)

    # -- the link ------------------------------------------------------------------------

    def _send(self, command):
        status = L.lib.SendCameraMessage(self._socket, ctypes.byref(self._timer), command, 0, 0)
        L.check(status, "command %d to the camera" % command)

    def _receive(self):
        if self._socket.value == -1:
            raise L.IrdexError("the camera is closed")
        status = L.lib.GetIRImages(self._socket, ctypes.byref(self._timer),
                                   ctypes.byref(self._frame))
        L.check(status, "receiving from the camera")
        return self._frame.packetKind

    def _wait_for(self, kind):
        # Bounded by packets, not by time: a camera answers or the link's own wait fails.
        for _ in range(self._max_packets):
            if self._receive() == kind:
                return
        raise L.IrdexError("the camera sent %d packets without the one awaited" % self._max_packets)

    # -- what the camera says --------------------------------------------------------------

    @property
    def camera_header(self):
        return bytes(self._frame.header)

    @property
    def camera_version(self):
        return self._frame.header[L.HEADER_VERSION]

    @property
    def model(self):
        return self._frame.header[L.HEADER_MODEL]

    @property
    def range_index(self):
        return self._frame.header[L.HEADER_RANGE_INDEX]

    def _convert(self, width, height):
        out = np.empty(width * height, dtype=np.float32)
        out_pointer = out.ctypes.data_as(ctypes.POINTER(ctypes.c_float))
        size = L.image_size(width, height)
        frame = ctypes.byref(self._frame)
        if self.camera_version >= 32:
            status = L.lib.GetRawToTempKS(frame, size, self._env, out_pointer)
        else:
            if self._table_range != self.range_index:
                table = np.empty(65536, dtype=np.float32)
                L.check(L.lib.GetTempMapTable(
                    table.ctypes.data_as(ctypes.POINTER(ctypes.c_float)), self.range_index),
                    "temperature table of range %d" % self.range_index)
                self._table, self._table_range = table, self.range_index
            status = L.lib.GetRawToTemp(frame, size, self._table.ctypes.data_as(
                ctypes.POINTER(ctypes.c_float)), self._env, out_pointer)
        L.check(status, "temperature conversion")
        return out.reshape(height, width)

    def frames(self, count=None, width=None, height=None):
        """Starts the stream and yields frames (`count` of them, or until closed).

        The picture size comes from the camera model unless given."""
        width, height = (width, height) if width and height else _size_of(
            self.camera_version, self.model, self._frame.header)
        self._send(_COMMAND_START)
        self._streaming = True
        index = 0
        try:
            while count is None or index < count:
                self._wait_for(_KIND_FRAME)
                stamp = time.time()
                counts = self._pixels[:width * height].reshape(height, width).copy()
                yield LiveFrame(index, counts, self._convert(width, height), stamp)
                index += 1
        finally:
            self._stop()

    def _stop(self):
        if self._streaming and self._socket.value != -1:
            self._streaming = False
            try:
                self._send(_COMMAND_STOP)
            except L.IrdexError:
                pass  # the camera may be gone already; closing follows

    def close(self):
        if getattr(self, "_socket", None) is not None and self._socket.value != -1:
            self._stop()
            L.lib.CloseConnect(ctypes.byref(self._socket), self._timer)
            self._socket.value = -1

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def __del__(self):
        try:
            self.close()
        except Exception:
            pass


def _size_of(version, model, header):
    """Picture size of a camera by its header: KS models by code, KT 640 x 480, and the
    first generation by its sensor size code (0: 320 x 240, else 384 x 288)."""
    if version >= 32:
        if model == 0x20:
            return 384, 288
        if model == 0x21:
            return 640, 480
        raise L.IrdexError("a KS camera of unknown model 0x%02X" % model)
    if version >= 17:
        return 640, 480
    return (320, 240) if header[6] == 0 else (384, 288)


def connect(address="127.0.0.1", port=15001, emissivity=0.95, atmospheric_temp=20.0,
            transmission=1.0, max_packets=1000):
    """Connects to a camera and reads its header; iterate `camera.frames()` for live frames."""
    return Camera(address, port, emissivity, atmospheric_temp, transmission, max_packets)
