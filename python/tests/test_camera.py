"""Live frames from the simulated camera on loopback."""

import socket

import numpy as np
import pytest

import irdex

from conftest import write_stream
from test_snapshot import write_snapshot

# Cameras the simulator plays, each showing one flat temperature.
CAMERAS = [
    pytest.param(("--model", "kt640", "--version", "20"), (480, 640), id="kt640"),
    pytest.param(("--model", "gen1-320", "--version", "16"), (240, 320), id="first_generation_320"),
    pytest.param(("--model", "va320", "--version", "32"), (288, 384), id="va320_v32"),
    pytest.param(("--model", "va320", "--version", "33"), (288, 384), id="va320_calibrated"),
    pytest.param(("--model", "vi640", "--version", "33"), (480, 640), id="vi640_calibrated"),
]
FLAT = 30.0
# The simulator makes its counts from the temperature and the library turns them back;
# they meet within a table step.
TOLERANCE = 0.5


@pytest.mark.parametrize("arguments, shape", CAMERAS)
def test_live_frames_show_the_scene_temperature(simulator, arguments, shape):
    sim = simulator(*arguments, "--scene", "flat", "--flat", str(FLAT))
    with irdex.connect("127.0.0.1", sim.port) as camera:
        frames = list(camera.frames(count=3))
    assert [f.index for f in frames] == [0, 1, 2]
    for frame in frames:
        assert frame.counts.shape == shape and frame.celsius.shape == shape
        assert abs(float(np.median(frame.celsius)) - FLAT) < TOLERANCE
    stamps = [f.timestamp for f in frames]
    assert stamps == sorted(stamps)


@pytest.mark.parametrize("arguments, shape", CAMERAS)
def test_a_live_frame_recorded_to_a_file_reads_back_the_same_temperatures(
        simulator, tmp_path, arguments, shape):
    sim = simulator(*arguments, "--scene", "blobs", "--motion-period", "0")
    with irdex.connect("127.0.0.1", sim.port) as camera:
        frame = next(camera.frames(count=1))
        header = camera.camera_header
    height, width = shape
    version = min(header[4], 32) if header[4] > 16 else 16
    path = write_stream(tmp_path / "run.hxr", version, width, height, [frame.counts],
                        header, emissivity=0.95, atmospheric_temp=20.0, transmission=1.0)
    with irdex.open(path) as video:
        recorded = video.frames[0].celsius
    np.testing.assert_array_equal(recorded.view(np.uint32), frame.celsius.view(np.uint32))


def test_a_snapshot_of_a_calibrated_camera_converts_through_its_own_calibration(
        simulator, tmp_path):
    sim = simulator("--model", "va320", "--version", "33", "--ks-ranges", "0x1")
    with irdex.connect("127.0.0.1", sim.port) as camera:
        header = camera.camera_header
    path = write_snapshot(tmp_path / "shot.jpg", header, 384, 288, 0.95, 20.0, 1.0)
    with irdex.open(path) as shot:
        celsius = shot.frames[0].celsius
    # The pattern's counts, 6000 and up, lie in range 0 (-20..120 C over 2000..14000).
    assert shot.camera_version == 33
    assert -20.0 < float(celsius.min()) < float(celsius.max()) < 120.0


def test_a_port_where_nothing_listens_gives_a_clear_error():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    # The port was free a moment ago and nobody listens on it now.
    with pytest.raises(irdex.IrdexError, match="cannot connect to 127.0.0.1:%d" % port):
        irdex.connect("127.0.0.1", port)


def test_a_camera_that_goes_away_ends_the_frames_with_an_error(simulator):
    sim = simulator("--model", "kt640", "--version", "20", "--fault", "close-after:2")
    with irdex.connect("127.0.0.1", sim.port) as camera:
        received = []
        with pytest.raises(irdex.IrdexError, match="receiving from the camera"):
            for frame in camera.frames():
                received.append(frame)
    assert len(received) == 2
