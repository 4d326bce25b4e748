#include "XResources.h"

QByteArray XResources::read()
{
    return {};
}
