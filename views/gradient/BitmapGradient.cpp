#include "views/gradient/BitmapGradient.h"

TBitmapGradient::TBitmapGradient(QWidget* parent) : TGradient(true, parent) {}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_BitmapGradient.cpp"
