// The exception of the data layer: a failure of the driver manager, the driver or the server,
// or a misuse of a data set, carrying the driver's SQLSTATE and native error when there is one.
#pragma once

#include "toolkit/Exceptions.h"

#include <string>

class EDataError : public EQBException {
public:
    explicit EDataError(const std::string& message, std::string sqlState = {}, int nativeError = 0)
        : EQBException(message), SqlState(std::move(sqlState)), NativeError(nativeError) {}

    std::string SqlState;  // five characters, empty when the failure did not come from ODBC
    int NativeError = 0;
};
