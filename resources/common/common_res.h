// Resource identifiers of the code in common/, which every program links:
// each program's resource script includes common.rc beside its own.
#pragma once

// Texts every program has: its settings key and the messages of the
// shared functions.
#define IDS_MSG_INTERNAL_ERROR   20
#define IDS_MSG_LAUNCH_FAILED    65
#define IDS_REG_KEY              3000

// Trace names of the shared functions (bitmap streams, associations,
// companion programs).
#define TR_SHARED                5900
#define TR_LAUNCH_APP            5023
#define TR_LAUNCH_APP_RESULT     5024
#define TR_GET_APP_LOCATION      5025
#define TR_GET_APP_LOCATION_RESULT 5026
#define TR_GET_ASSOCIATED_EXE    5027
#define TR_DOCUMENT              5028
#define TR_GET_ASSOCIATED_EXE_RESULT 5029
#define TR_GET_DEFAULT_FOLDER    5030
#define TR_FOLDER                5031
#define TR_READ_BITMAP           5033
#define TR_CALC_SIZE             5034
#define TR_READING_COLORS        5035
#define TR_READING_BITS          5036
#define TR_CREATING_MONOCHROME   5037
#define TR_CREATING_COLOR        5038
#define TR_READ_BITMAP_FAILED    5039
#define TR_WRITE_BITMAP          5040
#define TR_WRITE_BITMAP_RESULT   5041
#define TR_BITMAP_256_COLORS     5042
#define TR_BITMAP_16_24_BIT      5043
