"""The delivered palettes, as arrays."""

import os

import numpy as np
import pytest

import irdex

PALETTE_RECORD_BYTES = 2 * 768  # a palette and its inverted form


def delivered_count():
    folder = os.environ["IRDEX_DATA_DIR"]
    return os.path.getsize(os.path.join(folder, "colormap.bin")) // PALETTE_RECORD_BYTES


def test_every_delivered_palette_is_listed():
    assert len(irdex.palettes()) == delivered_count() > 0


@pytest.mark.parametrize("inverted", [False, True], ids=["normal", "inverted"])
def test_palettes_are_256_colours_of_three_bytes(inverted):
    for colours in irdex.palettes(inverted):
        assert colours.shape == (256, 3) and colours.dtype == np.uint8


def test_the_inverted_form_differs_from_the_normal_one():
    assert not np.array_equal(irdex.palette(0), irdex.palette(0, inverted=True))


@pytest.mark.parametrize("index", [-1, 10_000], ids=["negative", "far_beyond"])
def test_a_palette_outside_the_file_is_an_index_error(index):
    with pytest.raises(IndexError):
        irdex.palette(index)


def test_the_first_palette_after_the_last_is_an_index_error():
    with pytest.raises(IndexError):
        irdex.palette(delivered_count())


def test_colourize_looks_each_grey_level_up_in_the_palette():
    grey = np.array([[0, 128], [255, 7]], dtype=np.uint8)
    colours = irdex.palette(1)
    np.testing.assert_array_equal(irdex.colourize(grey, 1), colours[grey])


def test_colourize_refuses_values_wider_than_a_byte():
    with pytest.raises(TypeError):
        irdex.colourize(np.array([[300]], dtype=np.uint16), 0)
