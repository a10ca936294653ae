#pragma once

// String-table ids that only the ui test programs carry.
#define IDS_TEST_LONG_MESSAGE 900
#define IDS_TEST_LONG_MESSAGE_REPEATS 60
