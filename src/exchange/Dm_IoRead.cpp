#include "exchange/Dm_Io.h"

bool TIoDm::RestoreDatabase()
{
    return false;
}

bool TIoDm::ImportFile()
{
    return false;
}
