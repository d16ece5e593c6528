#pragma once

#include <QString>
#include <functional>

// What the row order of the bar list compares: the caption and the two
// number columns as they are shown.
struct TBarSortKey {
    QString caption;
    QString sizeText;
    QString percentText;
};

// Captions compared without case for the letters a to z, every other
// character by its code; a proper prefix sorts first.
int CompareCaptions(const QString& a, const QString& b);

// Row order of the bar list. sortColumn 0 sorts by caption (A to Z), 1 by
// size and 2 by percent (largest first); the number columns never report
// equality. `toNumber` reads a trimmed number text and throws the program's
// conversion error on anything else. A reverse negates the result.
int BarCompare(int sortColumn, bool sortReverse, const TBarSortKey& item1, const TBarSortKey& item2,
               const std::function<double(const QString&)>& toNumber);
