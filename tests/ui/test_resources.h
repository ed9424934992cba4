// Resource ids of the framework tests' own resources.
#pragma once

#define IDR_TEST_TOOLBAR 128
#define IDR_TEST_MENU 128
#define IDI_TEST_CONNECTED 128
#define IDI_TEST_DISCONNECTED 133

#define ID_TEST_OPEN 33100
#define ID_TEST_SAVE 33101
#define ID_TEST_PRINT 33102
#define ID_TEST_PLAIN 33103
#define ID_TEST_VIEW_TOOLBAR 59392
#define ID_TEST_VIEW_STATUS_BAR 59393

#define IDD_TEST_VALUES 200
#define IDC_TEST_COUNT 1001
#define IDC_TEST_NAME 1002
#define IDC_TEST_RATIO 1007

/* 4 x 2 pictures, 24 and 8 bits per pixel: red, grey, blue, grey over grey, green, grey, white,
   where grey (198, 198, 198) is the colour drawn transparent. */
#define IDB_TEST_PICTURE24 300
#define IDB_TEST_PICTURE8 301
