/* Compiled as strict C11: the public header must stay usable from C (and so from ctypes). */
#include <irdex.h>
#include <stdio.h>

int main(void) {
    IRFrame frame = {0};
    AgcParams agc = {0};
    float f = ConvertCelsToFah(100.0f);
    frame.header.bytes[IRDEX_HEADER_VERSION] = 32;
    agc.gamma = 1.0f;
    if (f < 211.99f || f > 212.01f) {
        fprintf(stderr, "ConvertCelsToFah(100) gave %f\n", (double)f);
        return 1;
    }
    if (IRFrameVersion(&frame) != 32 || agc.gamma != 1.0f) return 1;
    if (GetError(-1, NULL) != SDK_ERR_BUFFER) return 1;
    printf("irdex.h compiles as C11; C->F 100 = %.2f\n", (double)f);
    return 0;
}
