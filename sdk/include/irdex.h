/*
 * irdex.h - the public interface of the Irdex camera SDK (libirdex.so).
 *
 * A flat C interface: every export takes plain values, pointers to caller-owned records and
 * caller-owned buffers, and returns a signed status (SdkStatus: 1 success, negative
 * failure). Nothing throws and nothing crosses the boundary by ownership except the stream
 * handle (closed with CloseIRStream) and the socket and keep-alive handles (released with
 * CloseConnect). All multi-byte values in records, files and packets are little-endian.
 *
 * Compiles as C11 and as C++.
 */
#ifndef IRDEX_H
#define IRDEX_H

#include <stdint.h>

#if defined(__GNUC__)
#define IRDEX_API __attribute__((visibility("default")))
#else
#define IRDEX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---------------------------------------------------------------------------------------
 * Status codes. Callers take the low 16 bits of a result as a signed number.
 * ------------------------------------------------------------------------------------- */
typedef int32_t SdkStatus;

enum {
    SDK_SUCCESS = 1,
    SDK_ERR_INVALID_HANDLE = -1,       /* a connection could not be made */
    SDK_ERR_OPEN_FILE = -2,            /* file not opened/created, no file, record missing */
    SDK_ERR_CLOSE_FILE = -3,           /* closing a stream file failed */
    SDK_ERR_READ_IR_IMAGE = -4,        /* a stream frame could not be read whole */
    SDK_ERR_STREAM_BUFFER = -5,        /* a header read without an open file */
    SDK_ERR_END_OF_IR_IMAGE = -6,      /* end of stream reached; the frame is still delivered */
    SDK_ERR_START_OF_IR_IMAGE = -7,    /* start of stream reached stepping backwards */
    SDK_ERR_WRITE_IR_IMAGE = -8,       /* a stream frame could not be written whole */
    SDK_ERR_SOCKET_LIBRARY = -9,       /* the socket library could not be started */
    SDK_ERR_CONNECTION_CLOSED = -10,   /* the camera closed the connection */
    SDK_ERR_RECEIVE = -11,             /* a receive, or the wait for it, failed */
    SDK_ERR_UNKNOWN_PACKET_ID = -12,   /* a packet did not begin with the packet identifier */
    SDK_ERR_SEND_PACKET = -13,         /* not produced by the library */
    SDK_ERR_FRAME_POSITION = -14,      /* a stream frame did not begin with the frame mark */
    SDK_ERR_FILTER_SIZE = -15,         /* image filter window size not supported */
    SDK_ERR_FRAME_COUNT_OVER = -16,    /* frame count or file size limit of a stream file */
    SDK_ERR_PALETTE_FILE = -17,        /* palette file could not be opened (programs) */
    SDK_ERR_HXR_SIGNATURE = -18,       /* not a signed HXR container */
    SDK_ERR_UNSUPPORTED_FILTER = -19,  /* filter kind not supported */
    SDK_ERR_UNSUPPORTED = -20,         /* packet type or header version not supported */
    SDK_ERR_NAK = -100,                /* the camera answered with a NAK packet */
    SDK_ERR_BUFFER = -1000,            /* a buffer pointer missing, a record unreadable */
    SDK_ERR_MISSING_VALUE = -1001,     /* a required record or value missing or out of range */
    SDK_ERR_MODEL_MISMATCH = -1002     /* a model code that does not fit its header version */
};

/* Display unit of a temperature. Library temperatures are Celsius. */
typedef int32_t TempUnit;
enum { TEMP_UNIT_CELSIUS = 0, TEMP_UNIT_FAHRENHEIT = 1, TEMP_UNIT_KELVIN = 2 };

/* ---------------------------------------------------------------------------------------
 * Opaque handles.
 * ------------------------------------------------------------------------------------- */
typedef struct IrdexTimer IrdexTimer;       /* keep-alive timer of one connection */
typedef struct IRStream *IRStreamHandle;    /* open stream file, closed by CloseIRStream */
typedef struct KSCameraData KSCameraData;   /* one KS calibration slot */

/* ---------------------------------------------------------------------------------------
 * Packed records with fixed byte layouts.
 * ------------------------------------------------------------------------------------- */
#pragma pack(push, 1)

/* Head of every IR stream file (21 bytes). */
typedef struct {
    uint8_t version;         /* 0..16 first generation; 20+: time stamps; 32+: extra row */
    uint16_t width, height;
    float emissivity;        /* 0..1 */
    float atmosphericTemp;   /* degrees Celsius */
    float transmission;      /* 0..1 */
    float reserved;          /* stored and restored, not interpreted */
} IRHeader;

/* Follows IRHeader in stream files of version above 16 (1001 bytes). */
typedef struct {
    uint8_t recorder;
    int32_t year, month, day, hour, minute, second; /* recording start, local time */
    uint8_t reserved1[4];
    uint8_t camHeader[512];  /* the CamHeaderBlock of the camera */
    uint8_t reserved2[460];
} IRHeaderExt;

/* The camera's 512-byte header (packet type 37). */
typedef struct {
    uint8_t bytes[512];
} CamHeaderBlock;

/* Image-mapping parameters (41 bytes). */
typedef struct {
    int32_t manual;
    int32_t inputMethod;
    int32_t outputMethod;
    float brightnessRate;
    float sdRate;
    uint8_t intercept;
    float gamma;
    int32_t plateau;
    float epsilon;
    float psi;
    float prevPlateau;
} AgcParams;

/* Header of the signed HXR container (1028 bytes). */
typedef struct {
    char signature[3];
    uint16_t version;
    uint8_t user5;
    uint8_t format;
    uint16_t width, height;
    uint8_t user11[17];
    int32_t year, month, day, hour, minute, second, frameCount, frameRate;
    uint8_t user60[968];
} HXRFileHeader;

/* Head of one HXR container frame (260 bytes); the pixels follow it in the caller's buffer. */
typedef struct {
    uint8_t mark, user1, zero, user3;
    uint32_t frameNumber;
    int64_t time;
    uint32_t pixelCount;
    uint8_t user20[240];
} HXRFrame;

typedef struct { uint8_t bytes[9228]; } PaletteBlock;
typedef struct { uint8_t bytes[1036]; } FirmwareBlock;
typedef struct { uint8_t bytes[16]; } MacField;
typedef struct { uint8_t bytes[2056]; } TempOffsetTable;

#pragma pack(pop)

/* Measurement parameters, passed by value to every temperature export (16 bytes). */
typedef struct {
    float emissivity, atmosphericTemp, transmission, reserved;
} EnvParams;

/* Statistics of a region, degrees Celsius (16 bytes). */
typedef struct {
    float minTemp, maxTemp, avgTemp, stdDev;
} RoiTempStats;

/* A rectangle of the image; right and bottom are exclusive. */
typedef struct {
    int32_t left, top, right, bottom;
} RoiRect;

/* ---------------------------------------------------------------------------------------
 * Records with pointers: natural alignment, fields in the listed order.
 * ------------------------------------------------------------------------------------- */

/* One per connection or played-back file. The caller zeroes it and sets the two buffers. */
typedef struct {
    uint16_t *pixels;           /* raw pixel buffer, caller-owned */
    uint32_t pixelCapacity;     /* in pixels */
    uint8_t *staging;           /* 8192-byte staging buffer, caller-owned */
    uint32_t pendingBytes;      /* bytes pending in the staging buffer */
    int32_t readOffset;         /* offset of the pending bytes */
    int32_t packetKind;         /* -1 none, 0 ACK, 1 NAK, 5 frame, 8 header, 13 system data,
                                   16 byte image, 23 device information */
    CamHeaderBlock header;      /* version at byte 4, model at 5, rangeIndex at 7 */
    uint32_t sysWord;           /* firmware version number of the last system data */
    uint32_t devWord1;          /* device information */
    uint16_t devWord2, devWord3;
    int16_t ackCode1, ackCode2; /* codes of the last ACK or NAK */
    uint32_t ksSlot;            /* KS calibration slot number */
    uint16_t ksRangeMask;       /* copy of the range mask at header byte 339 */
    KSCameraData *ksCalib;      /* the KS calibration slot */
    int16_t *ksSmoothed;        /* the slot's 3 x 3 mean image */
    uint32_t driftCorrection;   /* 1 applies the KS drift correction to every frame */
} IRFrame;

/* Byte offsets in CamHeaderBlock of the fields read by name. */
enum { IRDEX_HEADER_VERSION = 4, IRDEX_HEADER_MODEL = 5, IRDEX_HEADER_SENSOR_SIZE = 6,
       IRDEX_HEADER_RANGE_INDEX = 7 };

static inline uint8_t IRFrameVersion(const IRFrame *frame) {
    return frame->header.bytes[IRDEX_HEADER_VERSION];
}
static inline uint8_t IRFrameModel(const IRFrame *frame) {
    return frame->header.bytes[IRDEX_HEADER_MODEL];
}
static inline uint8_t IRFrameRangeIndex(const IRFrame *frame) {
    return frame->header.bytes[IRDEX_HEADER_RANGE_INDEX];
}

typedef struct {
    uint8_t block[64];    /* system data block as sent (packet type 48) */
    int32_t packetKind;   /* -1 nothing received, 13 system data received */
    int16_t ackCode1, ackCode2;
} CamSysData;

typedef struct {
    int32_t kind;         /* 19 once a table half has been received */
    uint8_t first[2056];  /* packet type 55 */
    uint8_t second[2056]; /* packet type 56 */
    int16_t ackCode1, ackCode2;
} CamTempTable;

typedef struct {
    uint8_t data[16];
    int32_t kind;
    int16_t code1, code2;
} UpdateAnswer;

typedef struct {
    uint8_t data[8];
    int32_t kind;
    int16_t code1, code2;
} FpgaAnswer;

/* Stands for the window (its size) and the device context of the overlays: 32-bit pixels,
   bytes B, G, R, A in memory (cairo's ARGB32 on little-endian). */
typedef struct {
    uint8_t *pixels;
    int32_t width, height, stride;
} IrdexCanvas;

/* Image size arguments: width in the low 16 bits, height in the high 16 bits. */
static inline uint32_t IrdexImageSize(uint16_t width, uint16_t height) {
    return (uint32_t)width | ((uint32_t)height << 16);
}

/* ---------------------------------------------------------------------------------------
 * Records, status and units.
 * ------------------------------------------------------------------------------------- */
IRDEX_API SdkStatus GetError(int32_t code, char *text);
IRDEX_API float ConvertFahToCels(float fahrenheit);
IRDEX_API float ConvertCelsToFah(float celsius);
IRDEX_API float ConvertKelvToCels(float kelvin);
IRDEX_API float ConvertCelToKel(float celsius);
IRDEX_API float ConvertKelvToFah(float kelvin);
IRDEX_API float ConvertFahToKel(float fahrenheit);
/* Debug channel: receives every debug text. Null restores the default (stderr when the
   environment variable IRDEX_DEBUG is set, else nothing). */
IRDEX_API void SetDebugOutputHandler(void (*handler)(const char *text, void *user), void *user);

/* ---------------------------------------------------------------------------------------
 * IR image stream files and the HXR container.
 * ------------------------------------------------------------------------------------- */
IRDEX_API SdkStatus SaveIRImage(IRStreamHandle *out, const char *fileName, const IRHeader *header);
IRDEX_API SdkStatus SaveIRHeader(IRStreamHandle *out, const char *fileName, const IRHeader *header,
                                 const IRHeaderExt *ext);
IRDEX_API SdkStatus SetIRImageToStream(IRStreamHandle s, const uint16_t *pixels, int32_t pixelCount,
                                       int32_t timing, uint16_t *frameCounter);
IRDEX_API SdkStatus SetIRImageToStream_v2(IRStreamHandle s, const uint16_t *pixels,
                                          int32_t pixelCount, int32_t timing,
                                          uint32_t *frameCounter, int32_t version);
IRDEX_API SdkStatus LoadIRImage(IRStreamHandle *out, const char *fileName, int32_t *fileLength);
IRDEX_API SdkStatus GetIRHeader(IRStreamHandle s, IRHeader *header, int32_t *offset);
IRDEX_API SdkStatus GetIRHeaders(IRStreamHandle s, IRHeader *header, IRHeaderExt *ext,
                                 int32_t *offset);
IRDEX_API SdkStatus GetIRImageFromStream(IRStreamHandle s, uint16_t *pixels, int32_t pixelCount,
                                         int32_t fileLength, int32_t *offset, int32_t *timing,
                                         int32_t wrap);
IRDEX_API SdkStatus GetIRImageFromStream_n(IRStreamHandle s, uint16_t *pixels, int32_t pixelCount,
                                           int32_t fileLength, int32_t *offset, int32_t *timing,
                                           int32_t wrap, int32_t extension);
IRDEX_API SdkStatus GetIRImageFromStream_v2(IRStreamHandle s, uint16_t *pixels,
                                            int32_t pixelCount, int32_t fileLength,
                                            int32_t *offset, int32_t *timing, int64_t *timeStamp,
                                            int32_t wrap, int32_t version);
IRDEX_API SdkStatus GetRevIRImageFromStream(IRStreamHandle s, uint16_t *pixels, int32_t pixelCount,
                                            int32_t *offset, int32_t *timing);
IRDEX_API SdkStatus GetRevIRImageFromStream_n(IRStreamHandle s, uint16_t *pixels,
                                              int32_t pixelCount, int32_t *offset,
                                              int32_t *timing, int32_t extension);
IRDEX_API SdkStatus GetRevIRImageFromStream_v2(IRStreamHandle s, uint16_t *pixels,
                                               int32_t pixelCount, int32_t *offset,
                                               int32_t *timing, int64_t *timeStamp,
                                               int32_t version);
IRDEX_API SdkStatus CloseIRStream(IRStreamHandle s);
IRDEX_API SdkStatus HXRFileOpen(IRStreamHandle *out, const char *fileName, int32_t mode,
                                HXRFileHeader *header);
IRDEX_API SdkStatus AppendNewFrame(IRStreamHandle s, HXRFrame *frame, uint16_t dataFlag);
IRDEX_API SdkStatus QueryFrame(IRStreamHandle s, HXRFileHeader header, HXRFrame *frame,
                               uint32_t unused, int32_t mode, int32_t wrap);

/* ---------------------------------------------------------------------------------------
 * Connection and receiving.
 * ------------------------------------------------------------------------------------- */
IRDEX_API SdkStatus OpenConnect(int32_t *socket, IrdexTimer **keepAlive, const char *address,
                                const char *port, int32_t family, int32_t type);
IRDEX_API SdkStatus CloseConnect(int32_t *socket, IrdexTimer *keepAlive);
IRDEX_API SdkStatus GetIRImages(int32_t socket, IrdexTimer **keepAlive, IRFrame *frame);
IRDEX_API SdkStatus GetCamSysData(int32_t socket, IrdexTimer **keepAlive, CamSysData *data);
IRDEX_API SdkStatus GetCamTempTable(int32_t socket, IrdexTimer **keepAlive, CamTempTable *table);

/* ---------------------------------------------------------------------------------------
 * Command messages.
 * ------------------------------------------------------------------------------------- */
IRDEX_API SdkStatus SendCameraMessage(int32_t socket, IrdexTimer **keepAlive, int32_t index,
                                      int16_t arg1, int16_t arg2);
IRDEX_API SdkStatus SendMessageToCamera(int32_t socket, IrdexTimer **keepAlive, int32_t index,
                                        int16_t arg1, int16_t arg2, uint32_t arg3, uint32_t arg4,
                                        uint32_t arg5);
IRDEX_API SdkStatus SendPaletteMessage(int32_t socket, IrdexTimer **keepAlive, PaletteBlock block);
IRDEX_API SdkStatus SendFirmwareMessage(int32_t socket, IrdexTimer **keepAlive,
                                        uint32_t identifier, FirmwareBlock block);
IRDEX_API SdkStatus SendMacMessage(int32_t socket, IrdexTimer **keepAlive, uint32_t identifier,
                                   MacField first, MacField second);
IRDEX_API SdkStatus SendTempOffsetTableMessage(int32_t socket, IrdexTimer **keepAlive,
                                               TempOffsetTable table);
IRDEX_API SdkStatus SendUpdateMessage(int32_t socket, IrdexTimer **keepAlive, uint32_t identifier,
                                      const uint8_t *data /* 2068 bytes */);
IRDEX_API SdkStatus SendFpgaRegMessage(int32_t socket, IrdexTimer **keepAlive, uint32_t identifier,
                                       const uint32_t *registers /* 2 */);
IRDEX_API SdkStatus GetUpdateData(int32_t socket, IrdexTimer **keepAlive, UpdateAnswer *answer);
IRDEX_API SdkStatus GetFpgaRegData(int32_t socket, IrdexTimer **keepAlive, FpgaAnswer *answer);

/* ---------------------------------------------------------------------------------------
 * Temperature: KT family and first generation.
 * ------------------------------------------------------------------------------------- */
IRDEX_API SdkStatus GetTempMapTable(float *table /* 65536 */, int32_t range);
IRDEX_API SdkStatus GetTempRangeValue(int32_t range, int16_t *low, int16_t *high);
IRDEX_API SdkStatus GetCameraTempRangeValue(int32_t cameraType, int32_t range, int16_t *low,
                                            int16_t *high);
IRDEX_API float GetPointTemp(const IRFrame *frame, uint32_t imageSize, const float *table,
                             EnvParams params, int32_t x, int32_t y);
IRDEX_API float GetNeighborPointTemp(const IRFrame *frame, uint32_t imageSize, const float *table,
                                     EnvParams params, int32_t x, int32_t y);
IRDEX_API SdkStatus GetRawToTemp(const IRFrame *frame, uint32_t imageSize, const float *table,
                                 EnvParams params, float *out);
IRDEX_API float GetIRdataToTemp(uint16_t raw, const float *table, EnvParams params);
IRDEX_API float GetCorrectedTemp(const float *table, EnvParams params, uint16_t raw);

/* ---------------------------------------------------------------------------------------
 * Temperature: KS family.
 * ------------------------------------------------------------------------------------- */
IRDEX_API SdkStatus CreateIRCamDataKS(IRFrame *frame);
IRDEX_API SdkStatus LoadIRCamDataKS(IRFrame *frame, const uint16_t *pixels, int32_t pixelCount);
IRDEX_API SdkStatus CloseIRCamDataKS(IRFrame *frame);
IRDEX_API float ConvertRawToTempKS(const IRFrame *frame, EnvParams params, uint16_t raw);
IRDEX_API int32_t ConvertTempToRawKS(const IRFrame *frame, EnvParams params, float temperature);
IRDEX_API float GetPointTempKS(const IRFrame *frame, uint32_t imageSize, EnvParams params,
                               int32_t x, int32_t y);
IRDEX_API float GetNeighborPointTempKS(const IRFrame *frame, uint32_t imageSize, EnvParams params,
                                       int32_t x, int32_t y);
IRDEX_API SdkStatus GetRawToTempKS(const IRFrame *frame, uint32_t imageSize, EnvParams params,
                                   float *out);
IRDEX_API SdkStatus GetTempMapTableKS(const IRFrame *frame, float *dest, int32_t range);
IRDEX_API SdkStatus GetTempRangeValueKS(const IRFrame *frame, int32_t range, int16_t *low,
                                        int16_t *high);

/* ---------------------------------------------------------------------------------------
 * Region statistics.
 * ------------------------------------------------------------------------------------- */
IRDEX_API SdkStatus GetROITemp(const IRFrame *frame, uint32_t imageSize, const float *table,
                               EnvParams params, RoiRect region, RoiTempStats *stats,
                               int32_t *minPos, int32_t *maxPos);
IRDEX_API SdkStatus GetROITempKS(const IRFrame *frame, uint32_t imageSize, EnvParams params,
                                 RoiRect region, RoiTempStats *stats, int32_t *minPos,
                                 int32_t *maxPos);

/* ---------------------------------------------------------------------------------------
 * Rendering.
 * ------------------------------------------------------------------------------------- */
IRDEX_API SdkStatus GetImage(uint8_t *out, const IRFrame *frame, int32_t pixelCount,
                             const float *table, float *level, float *span, AgcParams *agc);
IRDEX_API SdkStatus GetImageKS(uint8_t *out, const IRFrame *frame, int32_t pixelCount,
                               float *level, float *span, AgcParams *agc);
IRDEX_API SdkStatus GetCorrectedImage(uint8_t *out, const IRFrame *frame, int32_t pixelCount,
                                      const float *table, EnvParams params, float *level,
                                      float *span, AgcParams *agc);
IRDEX_API SdkStatus GetCorrectedImageKS(uint8_t *out, const IRFrame *frame, int32_t pixelCount,
                                        EnvParams params, float *level, float *span,
                                        AgcParams *agc);
IRDEX_API SdkStatus GetImageLUT(uint8_t *palette /* 768 */, int32_t index, int32_t invert);
IRDEX_API SdkStatus GetGrayToPaletteImage(const uint8_t *grey, void *dest, uint16_t width,
                                          uint16_t height, const uint8_t *palette,
                                          int32_t bitsPerPixel, int32_t mirror, int32_t flip);
IRDEX_API SdkStatus GetIRHistogram(int32_t *histogram /* 65536 */, const uint16_t *pixels,
                                   int32_t count);

/* ---------------------------------------------------------------------------------------
 * Filters.
 * ------------------------------------------------------------------------------------- */
IRDEX_API SdkStatus ApplyImageFilter(uint8_t *image, uint16_t width, uint16_t height, int32_t type);
IRDEX_API SdkStatus ApplyColorImageFilter(uint8_t *image, uint16_t width, uint16_t height,
                                          int32_t type, int32_t bitsPerPixel);
IRDEX_API void BilateralFilter(uint8_t *image, uint16_t width, uint16_t height, float sigmaSpatial,
                               float sigmaRange, int32_t radius);
IRDEX_API SdkStatus BoxBlur(uint8_t *image, int32_t width, int32_t height, int32_t radius);
IRDEX_API SdkStatus FastStackBlur(uint8_t *image, int32_t width, int32_t height, int32_t radius);
IRDEX_API int32_t GetGaussianKernel(int32_t *weights, int32_t *products, int32_t radius);
IRDEX_API SdkStatus FastGaussianBlur(uint8_t *image, int32_t width, int32_t height,
                                     int32_t *weights, int32_t *products, int32_t radius);

/* ---------------------------------------------------------------------------------------
 * Overlays.
 * ------------------------------------------------------------------------------------- */
IRDEX_API int32_t DrawColorBar(const IrdexCanvas *canvas, const uint8_t *palette, float level,
                               float span, int32_t unit, int32_t noBar);
IRDEX_API int32_t DrawMinMaxPos(const IrdexCanvas *canvas, int32_t minX, int32_t minY,
                                int32_t maxX, int32_t maxY, int32_t size);

#ifdef __cplusplus
} /* extern "C" */
#endif

/* Layout checks: these records are written to disk and sent on the wire. */
#ifdef __cplusplus
#include <cstddef>
#define IRDEX_STATIC_ASSERT static_assert
#else
#include <stddef.h>
#define IRDEX_STATIC_ASSERT _Static_assert
#endif
IRDEX_STATIC_ASSERT(sizeof(IRHeader) == 21, "IRHeader is 21 bytes");
IRDEX_STATIC_ASSERT(offsetof(IRHeader, width) == 1, "IRHeader.width at 1");
IRDEX_STATIC_ASSERT(offsetof(IRHeader, height) == 3, "IRHeader.height at 3");
IRDEX_STATIC_ASSERT(offsetof(IRHeader, emissivity) == 5, "IRHeader.emissivity at 5");
IRDEX_STATIC_ASSERT(offsetof(IRHeader, atmosphericTemp) == 9, "IRHeader.atmosphericTemp at 9");
IRDEX_STATIC_ASSERT(offsetof(IRHeader, transmission) == 13, "IRHeader.transmission at 13");
IRDEX_STATIC_ASSERT(offsetof(IRHeader, reserved) == 17, "IRHeader.reserved at 17");
IRDEX_STATIC_ASSERT(sizeof(IRHeaderExt) == 1001, "IRHeaderExt is 1001 bytes");
IRDEX_STATIC_ASSERT(offsetof(IRHeaderExt, year) == 1, "IRHeaderExt.year at 1");
IRDEX_STATIC_ASSERT(offsetof(IRHeaderExt, second) == 21, "IRHeaderExt.second at 21");
IRDEX_STATIC_ASSERT(offsetof(IRHeaderExt, reserved1) == 25, "IRHeaderExt.reserved1 at 25");
IRDEX_STATIC_ASSERT(offsetof(IRHeaderExt, camHeader) == 29, "IRHeaderExt.camHeader at 29");
IRDEX_STATIC_ASSERT(offsetof(IRHeaderExt, reserved2) == 541, "IRHeaderExt.reserved2 at 541");
IRDEX_STATIC_ASSERT(sizeof(CamHeaderBlock) == 512, "CamHeaderBlock is 512 bytes");
IRDEX_STATIC_ASSERT(sizeof(AgcParams) == 41, "AgcParams is 41 bytes");
IRDEX_STATIC_ASSERT(offsetof(AgcParams, brightnessRate) == 12, "AgcParams.brightnessRate at 12");
IRDEX_STATIC_ASSERT(offsetof(AgcParams, intercept) == 20, "AgcParams.intercept at 20");
IRDEX_STATIC_ASSERT(offsetof(AgcParams, gamma) == 21, "AgcParams.gamma at 21");
IRDEX_STATIC_ASSERT(offsetof(AgcParams, plateau) == 25, "AgcParams.plateau at 25");
IRDEX_STATIC_ASSERT(offsetof(AgcParams, prevPlateau) == 37, "AgcParams.prevPlateau at 37");
IRDEX_STATIC_ASSERT(sizeof(HXRFileHeader) == 1028, "HXRFileHeader is 1028 bytes");
IRDEX_STATIC_ASSERT(offsetof(HXRFileHeader, version) == 3, "HXRFileHeader.version at 3");
IRDEX_STATIC_ASSERT(offsetof(HXRFileHeader, format) == 6, "HXRFileHeader.format at 6");
IRDEX_STATIC_ASSERT(offsetof(HXRFileHeader, width) == 7, "HXRFileHeader.width at 7");
IRDEX_STATIC_ASSERT(offsetof(HXRFileHeader, year) == 28, "HXRFileHeader.year at 28");
IRDEX_STATIC_ASSERT(offsetof(HXRFileHeader, frameCount) == 52, "HXRFileHeader.frameCount at 52");
IRDEX_STATIC_ASSERT(offsetof(HXRFileHeader, frameRate) == 56, "HXRFileHeader.frameRate at 56");
IRDEX_STATIC_ASSERT(offsetof(HXRFileHeader, user60) == 60, "HXRFileHeader.user60 at 60");
IRDEX_STATIC_ASSERT(sizeof(HXRFrame) == 260, "HXRFrame head is 260 bytes");
IRDEX_STATIC_ASSERT(offsetof(HXRFrame, frameNumber) == 4, "HXRFrame.frameNumber at 4");
IRDEX_STATIC_ASSERT(offsetof(HXRFrame, time) == 8, "HXRFrame.time at 8");
IRDEX_STATIC_ASSERT(offsetof(HXRFrame, pixelCount) == 16, "HXRFrame.pixelCount at 16");
IRDEX_STATIC_ASSERT(offsetof(HXRFrame, user20) == 20, "HXRFrame.user20 at 20");
IRDEX_STATIC_ASSERT(sizeof(PaletteBlock) == 9228, "PaletteBlock is 9228 bytes");
IRDEX_STATIC_ASSERT(sizeof(FirmwareBlock) == 1036, "FirmwareBlock is 1036 bytes");
IRDEX_STATIC_ASSERT(sizeof(MacField) == 16, "MacField is 16 bytes");
IRDEX_STATIC_ASSERT(sizeof(TempOffsetTable) == 2056, "TempOffsetTable is 2056 bytes");
IRDEX_STATIC_ASSERT(sizeof(EnvParams) == 16, "EnvParams is 16 bytes");
IRDEX_STATIC_ASSERT(sizeof(RoiTempStats) == 16, "RoiTempStats is 16 bytes");
IRDEX_STATIC_ASSERT(offsetof(IRFrame, header) + 512 <= sizeof(IRFrame), "IRFrame holds the header");

#endif /* IRDEX_H */
