/*
 * Mirodel.h - the C interface of the adapter-control library.
 *
 * Compiles as C11 and as C++. Every record below has a fixed byte layout that the library
 * and the program share; the layouts are checked at compile time.
 *
 * Results are 32-bit statuses: 0 for success, otherwise a Win32-style error code.
 *
 * On this 64-bit platform every argument or field that carries a pointer is pointer-sized:
 * the `buffer` of AdapterRequest, the `elements` of MirodelList, and the argument of the
 * scan callback. The integer fields keep their 32-bit widths. The layouts of ProfileRecord,
 * MirodelBssEntry and AdapterList hold no pointers and are the same on every platform.
 */
#ifndef QUELMAR_MIRODEL_H
#define QUELMAR_MIRODEL_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/** Argument of MirodelQuery and MirodelSet. */
typedef struct AdapterRequest {
    uint32_t code;   /**< request code */
    uint32_t length; /**< size of buffer in bytes; a set may carry 0 and no buffer */
    void* buffer;    /**< caller-owned; a query fills at most length bytes, a set reads them */
} AdapterRequest;

#define MIRODEL_MAX_ADAPTERS 100
#define MIRODEL_ADAPTER_NAME_SIZE 260

/** Filled by MirodelFindAdapters: a count and NUL-terminated names, slot 0 first. */
typedef struct AdapterList {
    uint32_t count;
    char names[MIRODEL_MAX_ADAPTERS][MIRODEL_ADAPTER_NAME_SIZE];
} AdapterList;

/** A library-owned list of element pointers (scan entries or profiles). Never freed by callers;
 *  valid until the next call that returns a list of the same kind. */
typedef struct MirodelList {
    uint32_t reserved;
    void** elements; /**< pointer-sized on this platform */
    uint32_t count;
} MirodelList;

/* Values of ProfileRecord.keyFormat */
#define KEY_HEX 0
#define KEY_ASCII 1

/** A connection profile, 3116 bytes. Texts are NUL-terminated 8-bit strings. */
typedef struct ProfileRecord {
    char profileName[81];     /* 0x000 */
    uint8_t padding1[3];      /* 0x051 */
    uint32_t reserved1;       /* 0x054 */
    uint32_t logonFlag;       /* 0x058 */
    char ssid[33];            /* 0x05C */
    uint8_t adHoc;            /* 0x07D */
    uint8_t channel;          /* 0x07E */
    uint8_t authMode;         /* 0x07F */
    uint32_t eapOption;       /* 0x080 */
    uint8_t encryption;       /* 0x084 */
    uint8_t padding2[3];      /* 0x085 */
    uint32_t reserved2;       /* 0x088 */
    uint8_t keyFormat;        /* 0x08C */
    uint8_t padding3[3];      /* 0x08D */
    uint32_t wepKeyLength[4]; /* 0x090 */
    uint32_t keyIndex;        /* 0x0A0 */
    uint32_t reserved3;       /* 0x0A4 */
    char reservedText[256];   /* 0x0A8 */
    char passphrase[512];     /* 0x1A8 */
    char wepKeys[4][512];     /* 0x3A8 */
    uint32_t certHashLength;  /* 0xBA8 */
    uint8_t certHash[128];    /* 0xBAC */
} ProfileRecord;

/** One scanned network, 328 bytes, owned by the library. */
typedef struct MirodelBssEntry {
    char ssid[33];         /* 0x00 */
    uint8_t authMode;      /* 0x21 */
    uint8_t cipher;        /* 0x22 */
    uint8_t padding1;      /* 0x23 */
    int32_t rssi;          /* 0x24 dBm */
    uint8_t channel;       /* 0x28 */
    uint8_t spare1;        /* 0x29 */
    uint8_t padding2[2];   /* 0x2A */
    uint32_t spare2;       /* 0x2C */
    uint8_t bssid[6];      /* 0x30 */
    uint8_t networkType;   /* 0x36 0 infrastructure, 1 ad hoc, 2 unknown */
    uint8_t spare3;        /* 0x37 */
    uint32_t frequencyKhz; /* 0x38 */
    uint32_t wpsCapable;   /* 0x3C */
    uint32_t capabilities; /* 0x40 */
    uint32_t spare4;       /* 0x44 */
    uint8_t spare5[256];   /* 0x48 */
} MirodelBssEntry;

/* Bits of MirodelBssEntry.capabilities */
#define MIRODEL_CAP_WPA_8021X 0x0001u
#define MIRODEL_CAP_WPA_PSK_TKIP 0x0002u
#define MIRODEL_CAP_WPA_PSK_AES 0x0004u
#define MIRODEL_CAP_WPA2_8021X 0x0010u
#define MIRODEL_CAP_WPA2_PSK_TKIP 0x0020u
#define MIRODEL_CAP_WPA2_PSK_AES 0x0040u
#define MIRODEL_CAP_PHY_B 0x2000u
#define MIRODEL_CAP_PHY_G 0x4000u
#define MIRODEL_CAP_PHY_N 0x8000u

/* Event codes of the event callback */
#define EVENT_DEVICE_INSERT 1u
#define EVENT_DEVICE_LEAVE 2u
#define EVENT_DEVICE_CONNECT 4u
#define EVENT_DEVICE_DISCONNECT 8u
#define EVENT_DEVICE_ADDRCHG 16u
#define EVENT_MASK_ALL 31u

/* Profile stores */
#define MIRODEL_STORE_USER 0x1000100u
#define MIRODEL_STORE_DOMAIN_LOGON 0x1010100u

/* Scan modes of MirodelGetScanList */
#define MIRODEL_SCAN_SYNC 2u  /* the callback has had the current list when 0 is returned */
#define MIRODEL_SCAN_ASYNC 4u /* the callback gets the list later, on a library thread */

/* Adapter open modes */
#define MIRODEL_OPEN_BY_NAME 0u
#define MIRODEL_OPEN_REOPEN 1u

/** Operations of MirodelProfileOp. */
typedef enum MirodelProfileOpCode {
    MIRODEL_OP_ADD = 0,          /**< add the profile */
    MIRODEL_OP_REPLACE = 1,      /**< replace the profile of the same name */
    MIRODEL_OP_DELETE = 2,       /**< delete the profile of that name */
    MIRODEL_OP_LOGON_PREPARE = 3,/**< first step on the domain-logon store before 0 or 5 there */
    MIRODEL_OP_READ_DEFAULT = 4, /**< read the default profile into the record; non-zero: none */
    MIRODEL_OP_SET_DEFAULT = 5,  /**< make the profile the default */
    MIRODEL_OP_IMPORT = 6        /**< import the profiles of the file at path (record is NULL) */
} MirodelProfileOpCode;

/** Gets the finished scan list (pointer-sized argument on this platform). */
typedef void (*MirodelScanCallback)(MirodelList* list);
/** Gets one event code. */
typedef void (*MirodelEventCallback)(uint32_t event);

uint32_t MirodelFindAdapters(AdapterList* list, const char* name);
uint32_t MirodelOpenAdapter(const char* name, uint32_t mode);
void MirodelCloseAdapter(void);
uint32_t MirodelConnect(ProfileRecord* profile);
uint32_t MirodelGetScanList(MirodelScanCallback callback, uint32_t mode, uint32_t reserved);
uint32_t MirodelQuery(AdapterRequest* request);
uint32_t MirodelSet(AdapterRequest* request);
uint32_t MirodelGetProfiles(MirodelList** list, uint32_t store);
uint32_t MirodelProfileOp(ProfileRecord* profile, uint32_t op, uint32_t store, const char* path);
uint32_t MirodelRegisterEvents(uint32_t mask, MirodelEventCallback callback);
void MirodelUnregisterEvents(void);

#ifdef __cplusplus
}
#define MIRODEL_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define MIRODEL_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

#define MIRODEL_CHECK_OFFSET(type, field, offset) \
    MIRODEL_STATIC_ASSERT(offsetof(type, field) == (offset), #type "." #field " at " #offset)

MIRODEL_STATIC_ASSERT(sizeof(ProfileRecord) == 3116, "ProfileRecord is 3116 bytes");
MIRODEL_CHECK_OFFSET(ProfileRecord, profileName, 0x000);
MIRODEL_CHECK_OFFSET(ProfileRecord, padding1, 0x051);
MIRODEL_CHECK_OFFSET(ProfileRecord, reserved1, 0x054);
MIRODEL_CHECK_OFFSET(ProfileRecord, logonFlag, 0x058);
MIRODEL_CHECK_OFFSET(ProfileRecord, ssid, 0x05C);
MIRODEL_CHECK_OFFSET(ProfileRecord, adHoc, 0x07D);
MIRODEL_CHECK_OFFSET(ProfileRecord, channel, 0x07E);
MIRODEL_CHECK_OFFSET(ProfileRecord, authMode, 0x07F);
MIRODEL_CHECK_OFFSET(ProfileRecord, eapOption, 0x080);
MIRODEL_CHECK_OFFSET(ProfileRecord, encryption, 0x084);
MIRODEL_CHECK_OFFSET(ProfileRecord, padding2, 0x085);
MIRODEL_CHECK_OFFSET(ProfileRecord, reserved2, 0x088);
MIRODEL_CHECK_OFFSET(ProfileRecord, keyFormat, 0x08C);
MIRODEL_CHECK_OFFSET(ProfileRecord, padding3, 0x08D);
MIRODEL_CHECK_OFFSET(ProfileRecord, wepKeyLength, 0x090);
MIRODEL_CHECK_OFFSET(ProfileRecord, keyIndex, 0x0A0);
MIRODEL_CHECK_OFFSET(ProfileRecord, reserved3, 0x0A4);
MIRODEL_CHECK_OFFSET(ProfileRecord, reservedText, 0x0A8);
MIRODEL_CHECK_OFFSET(ProfileRecord, passphrase, 0x1A8);
MIRODEL_CHECK_OFFSET(ProfileRecord, wepKeys, 0x3A8);
MIRODEL_CHECK_OFFSET(ProfileRecord, certHashLength, 0xBA8);
MIRODEL_CHECK_OFFSET(ProfileRecord, certHash, 0xBAC);

MIRODEL_STATIC_ASSERT(sizeof(MirodelBssEntry) == 328, "MirodelBssEntry is 328 bytes");
MIRODEL_CHECK_OFFSET(MirodelBssEntry, ssid, 0x00);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, authMode, 0x21);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, cipher, 0x22);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, padding1, 0x23);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, rssi, 0x24);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, channel, 0x28);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, spare1, 0x29);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, padding2, 0x2A);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, spare2, 0x2C);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, bssid, 0x30);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, networkType, 0x36);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, spare3, 0x37);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, frequencyKhz, 0x38);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, wpsCapable, 0x3C);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, capabilities, 0x40);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, spare4, 0x44);
MIRODEL_CHECK_OFFSET(MirodelBssEntry, spare5, 0x48);

MIRODEL_STATIC_ASSERT(sizeof(AdapterList) == 4 + 100 * 260, "AdapterList is a count and 100 names");
MIRODEL_CHECK_OFFSET(AdapterList, names, 4);

MIRODEL_CHECK_OFFSET(AdapterRequest, code, 0);
MIRODEL_CHECK_OFFSET(AdapterRequest, length, 4);
MIRODEL_CHECK_OFFSET(AdapterRequest, buffer, 8);
MIRODEL_CHECK_OFFSET(MirodelList, reserved, 0);
MIRODEL_CHECK_OFFSET(MirodelList, elements, sizeof(void*));
MIRODEL_CHECK_OFFSET(MirodelList, count, 2 * sizeof(void*));

#endif /* QUELMAR_MIRODEL_H */
