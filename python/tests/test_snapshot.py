"""Snapshots written by the programs' snapshot writer, read back through the module."""

import ctypes
import os
import subprocess

import numpy as np
import pytest

import irdex
from irdex import _library as L

from conftest import camera_header
from test_stream import reference_celsius, sample_points


def write_snapshot(path, header, width, height, emissivity=0.9, atmosphere=21.5,
                   transmission=0.97):
    writer = os.environ.get("IRDEX_SNAPSHOT_WRITER")
    assert writer, "IRDEX_SNAPSHOT_WRITER names no snapshot writer"
    header_file = str(path) + ".header"
    with open(header_file, "wb") as file:
        file.write(header)
    subprocess.run([writer, str(path), header_file, str(width), str(height), str(emissivity),
                    str(atmosphere), str(transmission)], check=True, timeout=60)
    return path


def pattern(width, height):
    y, x = np.mgrid[0:height, 0:width]
    return (6000 + 7 * x + 3 * y).astype(np.uint16)


KINDS = [
    pytest.param((camera_header(20, 1), 640, 480), id="kt_640x480"),
    pytest.param((camera_header(10, 0, size_code=0), 320, 240), id="first_generation_320x240"),
    pytest.param((camera_header(32, 0x20), 384, 288), id="ks_v32_384x288"),
]


@pytest.fixture
def snapshot(tmp_path, request):
    header, width, height = request.param
    path = write_snapshot(tmp_path / "shot.jpg", header, width, height)
    with irdex.open(path) as shot:
        yield shot, header


@pytest.mark.parametrize("snapshot", KINDS, indirect=True)
def test_counts_come_back_as_written(snapshot):
    shot, _ = snapshot
    assert len(shot.frames) == 1
    np.testing.assert_array_equal(shot.frames[0].counts, pattern(shot.width, shot.height))


@pytest.mark.parametrize("snapshot", KINDS, indirect=True)
def test_parameters_of_the_information_block_are_attributes(snapshot):
    shot, header = snapshot
    assert shot.emissivity == pytest.approx(0.9)
    assert shot.atmospheric_temp == pytest.approx(21.5)
    assert shot.transmission == pytest.approx(0.97)
    assert shot.camera_header == header


@pytest.mark.parametrize("snapshot", KINDS, indirect=True)
def test_celsius_equals_the_library_point_conversion_bit_for_bit(snapshot):
    shot, header = snapshot
    xs, ys = sample_points(shot.width, shot.height)
    env = L.EnvParams(shot.emissivity, shot.atmospheric_temp, shot.transmission, 0.0)
    expected = reference_celsius(header, pattern(shot.width, shot.height), env, xs, ys)
    got = shot.frames[0].celsius[ys, xs]
    np.testing.assert_array_equal(got.view(np.uint32), expected.view(np.uint32))


def _ir_segments(data):
    """Offsets of the APP1 markers of a snapshot, in order."""
    found, at = [], 2
    while data[at] == 0xFF and data[at + 1] in (0xE0, 0xE1):
        if data[at + 1] == 0xE1:
            found.append(at)
        at += 2 + int.from_bytes(data[at + 2:at + 4], "big")
    return found


def _cut_in_pixels(data):
    return data[:_ir_segments(data)[1] + 100]


def _signature_lost(data):
    at = _ir_segments(data)[0] + 4
    return data[:at] + b"XX" + data[at + 2:]


def _pixel_index_zero(data):
    at = _ir_segments(data)[1] + 4 + 6
    return data[:at] + b"\x00" + data[at + 1:]


def _pixel_index_beyond_count(data):
    at = _ir_segments(data)[1] + 4 + 6
    return data[:at] + b"\xff" + data[at + 1:]


def _width_no_camera_has(data):
    at = _ir_segments(data)[0] + 4 + 32
    return data[:at] + (2000).to_bytes(2, "little") + data[at + 2:]


def _information_too_short(data):
    at = _ir_segments(data)[0]
    return data[:at + 2] + (2 + 32 + 100).to_bytes(2, "big") + data[at + 4:]


def _not_jpeg(data):
    return b"GIF89a" + data[6:]


def _segments_removed(data):
    segments = _ir_segments(data)
    end = segments[-1] + 2 + int.from_bytes(data[segments[-1] + 2:segments[-1] + 4], "big")
    return data[:segments[0]] + data[end:]


DAMAGES = [
    pytest.param(_cut_in_pixels, id="cut_in_a_pixel_segment"),
    pytest.param(_signature_lost, id="segment_without_signature"),
    pytest.param(_pixel_index_zero, id="pixel_segment_index_zero"),
    pytest.param(_pixel_index_beyond_count, id="pixel_segment_index_beyond_count"),
    pytest.param(_width_no_camera_has, id="width_no_camera_has"),
    pytest.param(_information_too_short, id="information_segment_too_short"),
    pytest.param(_segments_removed, id="plain_jpeg"),
]


@pytest.mark.parametrize("damage", DAMAGES)
def test_damaged_snapshots_give_a_clear_error(tmp_path, damage):
    source = write_snapshot(tmp_path / "shot.jpg", camera_header(20, 1), 640, 480)
    damaged = tmp_path / "damaged.jpg"
    damaged.write_bytes(damage(source.read_bytes()))
    with pytest.raises(irdex.IrdexError, match="damaged.jpg"):
        irdex.open(damaged)


def test_a_file_that_is_no_jpeg_is_not_taken_for_a_snapshot(tmp_path):
    source = write_snapshot(tmp_path / "shot.jpg", camera_header(20, 1), 640, 480)
    damaged = tmp_path / "damaged.jpg"
    damaged.write_bytes(_not_jpeg(source.read_bytes()))
    with pytest.raises(irdex.IrdexError):
        irdex.open(damaged)
