#include "core/MemoId.h"
#include <QUuid>

QString newMemoId()
{
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}
