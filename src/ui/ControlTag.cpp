#include "ui/ControlTag.h"

#include <QVariant>

namespace {
const char* const kTagProperty = "Tag";
}

QString controlTag(const QObject* control)
{
    return control->property(kTagProperty).toString();
}

void setControlTag(QObject* control, const QString& tag)
{
    control->setProperty(kTagProperty, tag);
}
