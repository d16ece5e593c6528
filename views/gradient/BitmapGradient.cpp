#include "views/gradient/BitmapGradient.h"

TBitmapGradient::TBitmapGradient(QWidget* parent) : TGradient(true, parent) {}
