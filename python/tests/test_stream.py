"""Stream files written by the library, read back through the module."""

import ctypes
import datetime
import os
import time

import numpy as np
import pytest

import irdex
from irdex import _library as L

from conftest import camera_header, count_pattern, write_stream

# Cameras by stream version, camera header and size: the first generation keeps no camera
# header in its files, KT converts through the delivered tables, KS version 32 through the
# library's built-in tables.
KINDS = [
    pytest.param((16, None, 320, 240), id="first_generation_320x240"),
    pytest.param((20, camera_header(20, 1, range_index=0), 640, 480), id="kt_range0"),
    pytest.param((20, camera_header(20, 1, range_index=1), 640, 480), id="kt_range1"),
    pytest.param((32, camera_header(32, 0x20), 384, 288), id="ks_v32_384x288"),
]

FRAMES = 3


@pytest.fixture
def recording(tmp_path, request):
    version, header, width, height = request.param
    frames = [count_pattern(width, height, seed) for seed in range(FRAMES)]
    path = write_stream(tmp_path / "run.hxr", version, width, height, frames, header,
                        emissivity=0.93, atmospheric_temp=23.5, transmission=0.98)
    with irdex.open(path) as video:
        yield video, frames, header or bytes(512)


def reference_celsius(header, counts, env, xs, ys):
    """The library's own point conversion, on a frame record of the test's own making."""
    height, width = counts.shape
    pixels = np.ascontiguousarray(counts.reshape(-1))
    frame = L.IRFrame()
    ctypes.memmove(frame.header, header, 512)
    frame.pixels = pixels.ctypes.data_as(ctypes.POINTER(ctypes.c_uint16))
    frame.pixelCapacity = pixels.size
    size = L.image_size(width, height)
    if header[L.HEADER_VERSION] >= 32:
        return np.array([L.lib.GetPointTempKS(ctypes.byref(frame), size, env, int(x), int(y))
                         for x, y in zip(xs, ys)], dtype=np.float32)
    table = np.empty(65536, dtype=np.float32)
    assert L.lib.GetTempMapTable(table.ctypes.data_as(ctypes.POINTER(ctypes.c_float)),
                                 header[L.HEADER_RANGE_INDEX]) == L.SUCCESS
    table_pointer = table.ctypes.data_as(ctypes.POINTER(ctypes.c_float))
    return np.array([L.lib.GetPointTemp(ctypes.byref(frame), size, table_pointer, env, int(x),
                                        int(y)) for x, y in zip(xs, ys)], dtype=np.float32)


def sample_points(width, height):
    rng = np.random.default_rng(7)
    xs = np.concatenate([[0, width - 1, 0, width - 1], rng.integers(0, width, 60)])
    ys = np.concatenate([[0, 0, height - 1, height - 1], rng.integers(0, height, 60)])
    return xs, ys


@pytest.mark.parametrize("recording", KINDS, indirect=True)
def test_counts_come_back_as_written(recording):
    video, frames, _ = recording
    assert len(video.frames) == FRAMES
    for frame, written in zip(video.frames, frames):
        np.testing.assert_array_equal(frame.counts, written)


@pytest.mark.parametrize("recording", KINDS, indirect=True)
def test_celsius_equals_the_library_point_conversion_bit_for_bit(recording):
    video, frames, header = recording
    frame = video.frames[1]
    xs, ys = sample_points(video.width, video.height)
    env = L.EnvParams(0.93, 23.5, 0.98, 0.0)
    expected = reference_celsius(header, frames[1], env, xs, ys)
    got = frame.celsius[ys, xs]
    np.testing.assert_array_equal(got.view(np.uint32), expected.view(np.uint32))


@pytest.mark.parametrize("recording", KINDS, indirect=True)
def test_overrides_replace_the_file_parameters_bit_for_bit(recording):
    video, frames, header = recording
    xs, ys = sample_points(video.width, video.height)
    env = L.EnvParams(0.7, 35.0, 0.9, 0.0)
    expected = reference_celsius(header, frames[2], env, xs, ys)
    got = video.frames[2].temperatures(emissivity=0.7, atmospheric_temp=35.0,
                                       transmission=0.9)[ys, xs]
    np.testing.assert_array_equal(got.view(np.uint32), expected.view(np.uint32))


@pytest.mark.parametrize("recording", KINDS, indirect=True)
def test_header_fields_are_attributes(recording):
    video, _, header = recording
    assert (video.width, video.height) == (video.frames[0].counts.shape[1],
                                           video.frames[0].counts.shape[0])
    assert video.emissivity == pytest.approx(0.93)
    assert video.atmospheric_temp == pytest.approx(23.5)
    assert video.transmission == pytest.approx(0.98)
    assert video.camera_header == header
    if video.version > 16:
        assert video.start_time == datetime.datetime(2026, 12, 8, 9, 30, 5)
    else:
        assert video.start_time is None


def test_frames_carry_their_timing_and_the_time_they_were_written(tmp_path):
    before = int(time.time())
    frames = [count_pattern(640, 480, seed) for seed in range(2)]
    path = write_stream(tmp_path / "run.hxr", 20, 640, 480, frames, camera_header(20, 1))
    after = int(time.time())
    with irdex.open(path) as video:
        for frame in video:
            assert frame.timing == 40
            assert before <= frame.timestamp <= after
            assert frame.time.tzinfo is datetime.timezone.utc


def test_first_generation_frames_have_no_time_stamp(tmp_path):
    path = write_stream(tmp_path / "run.hxr", 16, 320, 240, [count_pattern(320, 240, 1)])
    with irdex.open(path) as video:
        assert video.frames[0].timestamp is None and video.frames[0].time is None


def test_negative_indices_and_slices_address_frames_from_the_end(tmp_path):
    frames = [count_pattern(640, 480, seed) for seed in range(4)]
    path = write_stream(tmp_path / "run.hxr", 20, 640, 480, frames, camera_header(20, 1))
    with irdex.open(path) as video:
        np.testing.assert_array_equal(video.frames[-1].counts, frames[3])
        assert [f.index for f in video.frames[1:3]] == [1, 2]
        with pytest.raises(IndexError):
            video.frames[4]


def test_a_frame_cut_short_by_a_crash_is_not_counted(tmp_path):
    frames = [count_pattern(640, 480, seed) for seed in range(2)]
    path = write_stream(tmp_path / "run.hxr", 20, 640, 480, frames, camera_header(20, 1))
    with open(path, "r+b") as file:
        file.truncate(os.path.getsize(path) - 1000)
    with irdex.open(path) as video:
        assert len(video.frames) == 1
        np.testing.assert_array_equal(video.frames[0].counts, frames[0])


def _empty(path):
    path.write_bytes(b"")


def _short_header(path):
    path.write_bytes(b"\x14\x80\x02")


def _container(path):
    path.write_bytes(b"HXR" + bytes(1025))


def _no_picture(path):
    write_stream(path, 20, 0, 0, [], camera_header(20, 1))


BAD_FILES = [
    pytest.param("run.hxr", _empty, id="empty_file"),
    pytest.param("run.hxr", _short_header, id="header_cut_short"),
    pytest.param("run.hxr", _container, id="signed_container"),
    pytest.param("run.hxr", _no_picture, id="zero_size_picture"),
    pytest.param("run.hxr.bak", lambda p: write_stream(p, 20, 640, 480, []), id="wrong_extension"),
    pytest.param("missing.hxr", lambda p: None, id="no_such_file"),
]


@pytest.mark.parametrize("name, make", BAD_FILES)
def test_bad_files_give_a_clear_error(tmp_path, name, make):
    path = tmp_path / name
    make(path)
    with pytest.raises(irdex.IrdexError, match=name.replace(".", r"\.")):
        irdex.open(path)


def test_a_closed_file_refuses_to_read(tmp_path):
    path = write_stream(tmp_path / "run.hxr", 20, 640, 480, [count_pattern(640, 480, 0)],
                        camera_header(20, 1))
    video = irdex.open(path)
    video.close()
    with pytest.raises(irdex.IrdexError, match="closed"):
        video.frames[0]


def test_a_frame_kept_from_a_closed_file_refuses_to_convert(tmp_path):
    path = write_stream(tmp_path / "run.hxr", 32, 384, 288, [count_pattern(384, 288, 0)],
                        camera_header(32, 0x20))
    video = irdex.open(path)
    frame = video.frames[0]
    video.close()
    with pytest.raises(irdex.IrdexError, match="closed"):
        frame.celsius


def test_a_calibrated_header_with_a_picture_its_model_lacks_gives_a_clear_error(
        tmp_path, simulator):
    sim = simulator("--model", "vi640", "--version", "33")
    with irdex.connect("127.0.0.1", sim.port) as camera:
        header = camera.camera_header
    # A 640 x 480 camera's header over a 384 x 288 picture.
    path = write_stream(tmp_path / "run.hxr", 32, 384, 288, [count_pattern(384, 288, 0)],
                        header)
    with irdex.open(path) as video:
        with pytest.raises(irdex.IrdexError, match="384 x 288"):
            video.frames[0].celsius
