// Resource ids of the counter browser dialog; tests drive the dialog through them.
#pragma once

#define IDD_PDH_BROWSER 200
#define IDC_PDH_OBJECT 201
#define IDC_PDH_COUNTERS 202
#define IDC_PDH_INSTANCES 203
#define IDC_PDH_EXPLAIN 204
#define IDC_PDH_VALUE 205
#define IDC_PDH_ADD 206
