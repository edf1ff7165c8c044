#include "core/Resources.h"

#include <QtGlobal>

static void initDefaults()
{
    Q_INIT_RESOURCE(defaults);
}

void ensureDefaultResources()
{
    static const bool done = (initDefaults(), true);
    Q_UNUSED(done);
}
