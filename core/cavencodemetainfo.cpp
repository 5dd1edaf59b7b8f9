#include "cavencodemetainfo.h"

void CAVEncodeMetaInfo::resetEncodeParam()
{
    *this = CAVEncodeMetaInfo();
}
