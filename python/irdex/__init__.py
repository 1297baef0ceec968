"""Radiometric thermal cameras and their files, from Python.

    import irdex
    video = irdex.open("run.hxr")
    print(video.width, video.height, video.emissivity, len(video.frames))
    for frame in video.frames:
        print(frame.time, frame.celsius.max())
    hotter = video.frames[0].temperatures(emissivity=0.8)

    with irdex.connect("127.0.0.1", 15001) as camera:
        for frame in camera.frames(count=10):
            print(frame.celsius.mean())

    rainbow = irdex.palette(1)   # (256, 3) uint8

Everything goes through the installed libirdex.so, so the temperatures are the library's own.
"""

from ._library import IrdexError
from .camera import Camera, LiveFrame, connect
from .palettes import colourize, palette, palettes
from .snapshot import Snapshot
from .stream import Frame, StreamFile, open

__all__ = [
    "Camera",
    "Frame",
    "IrdexError",
    "LiveFrame",
    "Snapshot",
    "StreamFile",
    "colourize",
    "connect",
    "open",
    "palette",
    "palettes",
]
