// Resource ids of the date-time control, for its code and its resource script res/DateTimeCtrl.rc.
#pragma once

#define IDB_DATETIME_DROPDOWN 23000
