#include "shell/AppState.h"

namespace quorlin {

AppState app;

void ResetAppState() { app = AppState{}; }

QString TopicFileSlot(int index) {
    if (index < 0 || index >= app.topicFiles.size()) return QString();
    return app.topicFiles.at(index);
}

}  // namespace quorlin
