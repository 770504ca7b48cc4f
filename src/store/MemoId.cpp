#include "store/MemoId.h"
#include <QUuid>

QString NewMemoId()
{
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}
