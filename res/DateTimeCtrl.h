// Resource ids of the date-time control's pictures (res/DateTimeCtrl.rc).
#pragma once

#define IDB_DATETIME_DROPDOWN 23000
