"""The records and exports of libirdex.so, declared for ctypes.

The library is found, in order: through the IRDEX_LIBRARY environment variable (a path,
used by the tests to reach a library in a build tree), at the path `make install` wrote
beside this module, and by its SONAME through the dynamic linker.
"""

import ctypes
import os

SUCCESS = 1
END_OF_IR_IMAGE = -6
START_OF_IR_IMAGE = -7

_STATUS_TEXT = {
    -1: "a connection could not be made",
    -2: "the file could not be opened or created",
    -3: "closing the file failed",
    -4: "a frame could not be read whole",
    -5: "a header was read without an open file",
    -6: "end of the stream",
    -7: "start of the stream",
    -8: "a frame could not be written whole",
    -10: "the camera closed the connection",
    -11: "receiving from the camera failed",
    -12: "a packet did not begin with the packet identifier",
    -14: "a frame did not begin with the frame mark",
    -16: "the frame count or file size limit was reached",
    -18: "not a signed HXR container",
    -20: "packet type or header version not supported",
    -100: "the camera refused the command",
    -1000: "a buffer or record is missing or unreadable",
    -1001: "a required value is missing or out of range",
    -1002: "the model code does not fit the header version",
}


class IrdexError(Exception):
    """A failure of the library or of a file; `status` is the library's code, if any."""

    def __init__(self, message, status=None):
        if status is not None:
            message = "%s: %s (status %d)" % (message, _STATUS_TEXT.get(status, "failed"), status)
        super().__init__(message)
        self.status = status


class IRHeader(ctypes.LittleEndianStructure):
    _pack_ = 1
    _fields_ = [
        ("version", ctypes.c_uint8),
        ("width", ctypes.c_uint16),
        ("height", ctypes.c_uint16),
        ("emissivity", ctypes.c_float),
        ("atmosphericTemp", ctypes.c_float),
        ("transmission", ctypes.c_float),
        ("reserved", ctypes.c_float),
    ]


class IRHeaderExt(ctypes.LittleEndianStructure):
    _pack_ = 1
    _fields_ = [
        ("recorder", ctypes.c_uint8),
        ("year", ctypes.c_int32),
        ("month", ctypes.c_int32),
        ("day", ctypes.c_int32),
        ("hour", ctypes.c_int32),
        ("minute", ctypes.c_int32),
        ("second", ctypes.c_int32),
        ("reserved1", ctypes.c_uint8 * 4),
        ("camHeader", ctypes.c_uint8 * 512),
        ("reserved2", ctypes.c_uint8 * 460),
    ]


class EnvParams(ctypes.Structure):
    _fields_ = [
        ("emissivity", ctypes.c_float),
        ("atmosphericTemp", ctypes.c_float),
        ("transmission", ctypes.c_float),
        ("reserved", ctypes.c_float),
    ]


class IRFrame(ctypes.Structure):
    """Natural alignment, the fields in the order of irdex.h."""

    _fields_ = [
        ("pixels", ctypes.POINTER(ctypes.c_uint16)),
        ("pixelCapacity", ctypes.c_uint32),
        ("staging", ctypes.POINTER(ctypes.c_uint8)),
        ("pendingBytes", ctypes.c_uint32),
        ("readOffset", ctypes.c_int32),
        ("packetKind", ctypes.c_int32),
        ("header", ctypes.c_uint8 * 512),
        ("sysWord", ctypes.c_uint32),
        ("devWord1", ctypes.c_uint32),
        ("devWord2", ctypes.c_uint16),
        ("devWord3", ctypes.c_uint16),
        ("ackCode1", ctypes.c_int16),
        ("ackCode2", ctypes.c_int16),
        ("ksSlot", ctypes.c_uint32),
        ("ksRangeMask", ctypes.c_uint16),
        ("ksCalib", ctypes.c_void_p),
        ("ksSmoothed", ctypes.POINTER(ctypes.c_int16)),
        ("driftCorrection", ctypes.c_uint32),
    ]


# Byte offsets of the camera header fields read by name.
HEADER_VERSION = 4
HEADER_MODEL = 5
HEADER_RANGE_INDEX = 7

_c = ctypes
_u16p = _c.POINTER(_c.c_uint16)
_f32p = _c.POINTER(_c.c_float)
_i32p = _c.POINTER(_c.c_int32)
_u32p = _c.POINTER(_c.c_uint32)
_i64p = _c.POINTER(_c.c_int64)
_i16p = _c.POINTER(_c.c_int16)
_handle = _c.c_void_p
_timer_pp = _c.POINTER(_c.c_void_p)
_frame_p = _c.POINTER(IRFrame)

_PROTOTYPES = {
    "LoadIRImage": (_c.c_int32, [_c.POINTER(_handle), _c.c_char_p, _i32p]),
    "GetIRHeaders": (_c.c_int32, [_handle, _c.POINTER(IRHeader), _c.POINTER(IRHeaderExt), _i32p]),
    "GetIRImageFromStream_v2": (
        _c.c_int32,
        [_handle, _u16p, _c.c_int32, _c.c_int32, _i32p, _i32p, _i64p, _c.c_int32, _c.c_int32],
    ),
    "CloseIRStream": (_c.c_int32, [_handle]),
    "SaveIRHeader": (
        _c.c_int32,
        [_c.POINTER(_handle), _c.c_char_p, _c.POINTER(IRHeader), _c.POINTER(IRHeaderExt)],
    ),
    "SaveIRImage": (_c.c_int32, [_c.POINTER(_handle), _c.c_char_p, _c.POINTER(IRHeader)]),
    "SetIRImageToStream_v2": (
        _c.c_int32,
        [_handle, _u16p, _c.c_int32, _c.c_int32, _u32p, _c.c_int32],
    ),
    "GetTempMapTable": (_c.c_int32, [_f32p, _c.c_int32]),
    "GetRawToTemp": (_c.c_int32, [_frame_p, _c.c_uint32, _f32p, EnvParams, _f32p]),
    "GetRawToTempKS": (_c.c_int32, [_frame_p, _c.c_uint32, EnvParams, _f32p]),
    "GetPointTemp": (_c.c_float, [_frame_p, _c.c_uint32, _f32p, EnvParams, _c.c_int32, _c.c_int32]),
    "GetPointTempKS": (_c.c_float, [_frame_p, _c.c_uint32, EnvParams, _c.c_int32, _c.c_int32]),
    "CreateIRCamDataKS": (_c.c_int32, [_frame_p]),
    "LoadIRCamDataKS": (_c.c_int32, [_frame_p, _u16p, _c.c_int32]),
    "CloseIRCamDataKS": (_c.c_int32, [_frame_p]),
    "GetImageLUT": (_c.c_int32, [_c.POINTER(_c.c_uint8), _c.c_int32, _c.c_int32]),
    "OpenConnect": (
        _c.c_int32,
        [_i32p, _timer_pp, _c.c_char_p, _c.c_char_p, _c.c_int32, _c.c_int32],
    ),
    "CloseConnect": (_c.c_int32, [_i32p, _c.c_void_p]),
    "GetIRImages": (_c.c_int32, [_c.c_int32, _timer_pp, _frame_p]),
    "SendCameraMessage": (
        _c.c_int32,
        [_c.c_int32, _timer_pp, _c.c_int32, _c.c_int16, _c.c_int16],
    ),
}


def _candidates():
    explicit = os.environ.get("IRDEX_LIBRARY")
    if explicit:
        return [explicit]
    found = []
    try:
        from . import _installed

        if os.path.exists(_installed.LIBRARY):
            found.append(_installed.LIBRARY)
    except ImportError:
        pass
    found.append("libirdex.so.0")
    return found


def _load():
    errors = []
    for name in _candidates():
        try:
            library = ctypes.CDLL(name)
        except OSError as error:
            errors.append(str(error))
            continue
        for export, (restype, argtypes) in _PROTOTYPES.items():
            function = getattr(library, export)
            function.restype = restype
            function.argtypes = argtypes
        return library
    raise ImportError("libirdex.so could not be loaded: " + "; ".join(errors))


lib = _load()


def image_size(width, height):
    """The library's image size argument: width in the low 16 bits, height in the high."""
    return (height << 16) | width


def check(status, what):
    if status != SUCCESS:
        raise IrdexError(what, status)
