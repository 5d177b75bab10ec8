#pragma once

namespace vesk::data_access {

// ADO's enumerations, with ADO's values, for the properties that hosts set by number.
enum CursorTypeEnum : int {
    adOpenUnspecified = -1,
    adOpenForwardOnly = 0,
    adOpenKeyset = 1,
    adOpenDynamic = 2,
    adOpenStatic = 3,
};

enum LockTypeEnum : int {
    adLockUnspecified = -1,
    adLockReadOnly = 1,
    adLockPessimistic = 2,
    adLockOptimistic = 3,
    adLockBatchOptimistic = 4,
};

enum ObjectStateEnum : int {
    adStateClosed = 0,
    adStateOpen = 1,
};

enum SearchDirectionEnum : int {
    adSearchBackward = -1,
    adSearchForward = 1,
};

enum EditModeEnum : int {
    adEditNone = 0,
    adEditInProgress = 1,
    adEditAdd = 2,
};

}  // namespace vesk::data_access
