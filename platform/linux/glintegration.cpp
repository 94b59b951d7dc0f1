#include "glintegration.h"

#include <QByteArray>

namespace GlIntegration {
void KeepOutUnlessChosen()
{
    // Read once, when the X11 platform connects to the display.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", QByteArrayLiteral("none"));
}
}
