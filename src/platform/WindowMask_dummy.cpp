#include "WindowMaskX11.h"

bool WindowMaskX11::available()
{
    return false;
}

bool WindowMaskX11::set(QWidget*, const QRegion&)
{
    return false;
}

bool WindowMaskX11::clear(QWidget*)
{
    return false;
}
