// Ids of the framework sample's resources.
#pragma once

#define IDD_SAMPLE 100
#define IDC_SAMPLE_COUNT 1001
#define IDC_SAMPLE_NSIMSUN 1002
#define IDC_SAMPLE_BUTTON 1003
#define IDC_SAMPLE_LIST 1004
