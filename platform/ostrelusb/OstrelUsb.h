#ifndef QV_OSTRELUSB_H
#define QV_OSTRELUSB_H
/* The USB-to-I2C bridge library: I2C transfers, bus set-up, board supply
 * voltages and the board I/O line that resets the target. Every call is
 * thread-safe. A status is 0 on success, otherwise one of the QV_ERR_ codes;
 * a handle that is 0, closed, or left over from an unplugged board gives
 * QV_ERR_BAD_HANDLE. */

#ifdef __cplusplus
extern "C" {
#endif

/* An opaque token: the library never dereferences it. */
typedef struct QvUsbDevice* QV_HANDLE;
/* An event handle of the platform layer (HANDLE). */
struct QvKernelObject;

#define QV_OK 0
#define QV_ERR_NOT_FOUND 1    /* no board plugged, or none at that index */
#define QV_ERR_BAD_HANDLE 2   /* 0, closed, or stale after an unplug */
#define QV_ERR_BAD_ARGUMENT 4 /* a null buffer, an empty transfer, a value the board lacks */
#define QV_ERR_NACK 5         /* no chip acknowledged at the slave address */
#define QV_ERR_BUS 6          /* the transfer broke off on the bus */

unsigned char QV_GetNumDevices(unsigned int* count);
/* Opening a board that is already open gives back the open handle. */
unsigned char QV_OpenDevice(unsigned int index, QV_HANDLE* handle);
unsigned char QV_CloseDevice(QV_HANDLE handle);
/* Bus 0 is I2C, the only one the board offers. */
unsigned char QV_SetInterface(QV_HANDLE handle, unsigned char bus);
/* A 7-bit address. */
unsigned char QV_SetSlaveAddr(QV_HANDLE handle, unsigned char address);
unsigned char QV_Set_IIC_ByteDelay(QV_HANDLE handle, unsigned char delay);
unsigned char QV_I2C_Conf(QV_HANDLE handle, unsigned char conf);
unsigned char QV_SetBoardVCC_Ctrl(QV_HANDLE handle, unsigned char code);
unsigned char QV_SetBoardIOVCC_Ctrl(QV_HANDLE handle, unsigned char code, unsigned char reserved1,
                                    unsigned char reserved2);
/* Drives board line 1 (output 1) to level 0 or 1; the line is the target's reset. */
unsigned char QV_Board_IO_Ctrl(QV_HANDLE handle, unsigned char level, unsigned char line,
                               unsigned char output);
/* One transfer to the current slave address: the write part, then the read
 * part; either may be empty, not both. 0 or a positive QV_ERR_ code. */
int QV_IIC_IO(QV_HANDLE handle, const unsigned char* writeBuffer, unsigned int writeCount,
              unsigned char* readBuffer, unsigned int readCount);
/* The window that hears of boards plugged in and out (WM_DEVICECHANGE), and a
 * pair of event handles (may be null). */
void RegisterNotification(void* hwnd, struct QvKernelObject* const* events);

#ifdef __cplusplus
}
#endif

#endif
