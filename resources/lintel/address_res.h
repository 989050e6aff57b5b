// Icons of the Internet address buttons, one per kind of address (118, the
// program's "no icon" picture, stands in when one cannot be loaded).
#pragma once

#define IDI_ADDRESS_OTHER        188
#define IDI_ADDRESS_WEB          189
#define IDI_ADDRESS_FTP          190
#define IDI_ADDRESS_MAIL         191
#define IDI_ADDRESS_NEWS         192
