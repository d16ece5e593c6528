// The same window at a device pixel ratio of 2: set before the application
// object exists.
#include <QByteArray>

namespace {

const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

}  // namespace
