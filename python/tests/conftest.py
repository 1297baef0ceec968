"""Shared fixtures: files written by the library's own writers, and a simulated camera."""

import ctypes
import os
import re
import select
import subprocess
import time

import numpy as np
import pytest

from irdex import _library as L


def write_stream(path, version, width, height, frames, camera_header=None,
                 emissivity=0.95, atmospheric_temp=20.0, transmission=1.0, extra_width=None):
    """A stream file made by SaveIRHeader and SetIRImageToStream_v2, one frame per array."""
    header = L.IRHeader(version, width, height, emissivity, atmospheric_temp, transmission, 0.0)
    ext = L.IRHeaderExt()
    ext.year, ext.month, ext.day, ext.hour, ext.minute, ext.second = 2026, 12, 8, 9, 30, 5
    if camera_header is not None:
        ctypes.memmove(ext.camHeader, bytes(camera_header), 512)
    handle = ctypes.c_void_p()
    if version <= 16:  # the first generation's files have no header extension
        status = L.lib.SaveIRImage(ctypes.byref(handle), os.fsencode(path), ctypes.byref(header))
    else:
        status = L.lib.SaveIRHeader(ctypes.byref(handle), os.fsencode(path),
                                    ctypes.byref(header), ctypes.byref(ext))
    assert status == L.SUCCESS
    counter = ctypes.c_uint32()
    try:
        for pixels in frames:
            pixels = np.ascontiguousarray(pixels, dtype=np.uint16).reshape(-1)
            if version >= 32:
                # The caller's buffer holds the extra row behind the image.
                pixels = np.concatenate([pixels, np.zeros(extra_width or width, np.uint16)])
            status = L.lib.SetIRImageToStream_v2(
                handle, pixels.ctypes.data_as(ctypes.POINTER(ctypes.c_uint16)),
                width * height, 40, ctypes.byref(counter), version)
            assert status == L.SUCCESS
    finally:
        L.lib.CloseIRStream(handle)
    return path


def camera_header(version, model, range_index=0, size_code=0):
    header = bytearray(512)
    header[L.HEADER_VERSION] = version
    header[L.HEADER_MODEL] = model
    header[6] = size_code
    header[L.HEADER_RANGE_INDEX] = range_index
    return bytes(header)


def count_pattern(width, height, seed):
    """Counts spread over the tables' working range, different in every pixel and frame."""
    rng = np.random.default_rng(seed)
    return rng.integers(3000, 14000, size=(height, width), dtype=np.uint16)


class Simulator:
    """irsim on 127.0.0.1 with a port of its own choosing, stopped at the end."""

    def __init__(self, *arguments):
        program = os.environ.get("IRDEX_IRSIM")
        if not program:
            raise RuntimeError("IRDEX_IRSIM names no simulator")
        self.process = subprocess.Popen(
            [program, "--bind", "127.0.0.1", "--port", "0", "--quiet", *arguments],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.port = self._port()

    def _port(self):
        deadline = time.monotonic() + 30
        seen = ""
        while time.monotonic() < deadline:
            ready, _, _ = select.select([self.process.stdout], [], [], 1.0)
            if not ready:
                continue
            line = self.process.stdout.readline()
            if not line:
                break
            seen += line
            found = re.search(r"listening on 127\.0\.0\.1:(\d+)", line)
            if found:
                return int(found.group(1))
        self.stop()
        raise RuntimeError("irsim did not say its port: " + seen)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


@pytest.fixture
def simulator():
    started = []

    def start(*arguments):
        sim = Simulator(*arguments)
        started.append(sim)
        return sim

    yield start
    for sim in started:
        sim.stop()
