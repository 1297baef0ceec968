"""The delivered palettes as arrays of 256 red, green, blue entries."""

import ctypes

import numpy as np

from . import _library as L

# Palettes are numbered from 0; the file holds as many as were delivered.
_MAX_PALETTES = 256


def palette(index, inverted=False):
    """Palette `index` as a (256, 3) uint8 array; its inverted form when `inverted`."""
    if not 0 <= index < _MAX_PALETTES:
        raise IndexError("palette %d" % index)
    colours = np.zeros(768, dtype=np.uint8)
    status = L.lib.GetImageLUT(
        colours.ctypes.data_as(ctypes.POINTER(ctypes.c_uint8)), index, 1 if inverted else 0)
    if status != L.SUCCESS:
        if status == -1000:  # the file ends before this palette
            raise IndexError("palette %d is not delivered" % index)
        raise L.IrdexError("palette %d" % index, status)
    return colours.reshape(256, 3)


def palettes(inverted=False):
    """Every delivered palette, in order."""
    found = []
    for index in range(_MAX_PALETTES):
        try:
            found.append(palette(index, inverted))
        except IndexError:
            break
    return found


def colourize(grey, index, inverted=False):
    """An 8-bit grey image coloured with palette `index`: an (..., 3) uint8 array."""
    grey = np.asarray(grey)
    if grey.dtype != np.uint8:
        raise TypeError("a grey image of uint8 values is needed")
    return palette(index, inverted)[grey]
