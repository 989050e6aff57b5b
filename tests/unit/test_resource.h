// Resources of the unit tests (kept clear of Lintel's own ids).
#pragma once

#define IDD_TEST_DIALOG   9001
#define IDD_TEST_PAGE1    9011
#define IDD_TEST_PAGE2    9012
#define IDD_TEST_PAGE3    9013
#define IDC_TEST_EDIT     9100
#define IDS_TEST_TITLE    9200
