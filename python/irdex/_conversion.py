"""Counts to degrees Celsius through the library, for one camera header.

One converter serves one file or connection. Cameras with per-camera calibration (KS, header
version 33 and above) hold one of the library's 20 calibration slots until `close`, and their
conversion reads the slot's smoothed copy of the last frame loaded, so every conversion loads
its own frame first, under a lock.
"""

import ctypes
import threading

import numpy as np

from . import _library as L


def env_params(emissivity, atmospheric_temp, transmission, reserved=0.0):
    return L.EnvParams(emissivity, atmospheric_temp, transmission, reserved)


class Converter:
    def __init__(self, camera_header, width, height, pixel_capacity):
        if len(camera_header) != 512:
            raise ValueError("a camera header is 512 bytes")
        self.width = width
        self.height = height
        self.version = camera_header[L.HEADER_VERSION]
        self.range_index = camera_header[L.HEADER_RANGE_INDEX]
        self._lock = threading.Lock()
        self._pixels = np.zeros(max(pixel_capacity, width * height), dtype=np.uint16)
        self._frame = L.IRFrame()
        ctypes.memmove(self._frame.header, bytes(camera_header), 512)
        self._frame.pixels = self._pixels.ctypes.data_as(ctypes.POINTER(ctypes.c_uint16))
        self._frame.pixelCapacity = self._pixels.size
        self._frame.packetKind = -1
        self._table = None
        self._open = False
        L.check(L.lib.CreateIRCamDataKS(ctypes.byref(self._frame)), "no calibration slot")
        self._open = True

    @property
    def ks(self):
        return self.version >= 32

    def _table_pointer(self):
        if self._table is None:
            table = np.empty(65536, dtype=np.float32)
            status = L.lib.GetTempMapTable(
                table.ctypes.data_as(ctypes.POINTER(ctypes.c_float)), self.range_index
            )
            L.check(status, "temperature table of range %d" % self.range_index)
            self._table = table
        return self._table.ctypes.data_as(ctypes.POINTER(ctypes.c_float))

    def celsius(self, pixels, env):
        """Degrees Celsius of one frame's counts (pixels: at least width x height, row by row)."""
        count = self.width * self.height
        pixels = np.ascontiguousarray(pixels, dtype=np.uint16).reshape(-1)
        if pixels.size < count:
            raise ValueError("a frame of %d x %d needs %d counts" % (self.width, self.height, count))
        out = np.empty(count, dtype=np.float32)
        out_pointer = out.ctypes.data_as(ctypes.POINTER(ctypes.c_float))
        size = L.image_size(self.width, self.height)
        with self._lock:
            if not self._open:
                raise L.IrdexError("the file or camera is closed")
            used = min(pixels.size, self._pixels.size)
            self._pixels[:used] = pixels[:used]
            frame = ctypes.byref(self._frame)
            status = L.lib.LoadIRCamDataKS(frame, self._frame.pixels, used)
            if status != L.SUCCESS:
                raise L.IrdexError("calibrated smoothing of a %d x %d frame" % (
                    self.width, self.height), status)
            if self.ks:
                status = L.lib.GetRawToTempKS(frame, size, env, out_pointer)
            else:
                status = L.lib.GetRawToTemp(frame, size, self._table_pointer(), env, out_pointer)
        L.check(status, "temperature conversion")
        return out.reshape(self.height, self.width)

    def close(self):
        with self._lock:
            if self._open:
                L.lib.CloseIRCamDataKS(ctypes.byref(self._frame))
                self._open = False
