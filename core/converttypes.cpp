#include "converttypes.h"

void registerConvertStateMetaType()
{
    qRegisterMetaType<convertState>("convertState");
}
