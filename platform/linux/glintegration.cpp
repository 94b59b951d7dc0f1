#include "glintegration.h"

#include <QByteArray>
#include <QOpenGLContext>

namespace {
const char kVariable[] = "QT_XCB_GL_INTEGRATION";
bool g_ours = false;
}

namespace GlIntegration {
void KeepOutUnlessChosen()
{
    if (qEnvironmentVariableIsSet(kVariable))
        return;
    qputenv(kVariable, QByteArrayLiteral("none"));
    g_ours = true;
}

void SettleForThisProcess()
{
    if (!g_ours)
        return;
    // The X11 platform reads the variable when it is first asked about OpenGL, which would
    // otherwise be when the first window is created.
    QOpenGLContext::supportsThreadedOpenGL();
    qunsetenv(kVariable);
    g_ours = false;
}
}
