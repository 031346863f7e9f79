#include "ui/ControlLatch.h"

#include <QVariant>

namespace {
const char* const kTagProperty = "Tag";
}

QString controlLatch(const QObject* control)
{
    return control->property(kTagProperty).toString();
}

void setControlLatch(QObject* control, const QString& tag)
{
    control->setProperty(kTagProperty, tag);
}
