#pragma once

#include <atomic>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>

#include "browse/engine/WebEnginePane.h"
#include "browse/engine/WebProfiles.h"

// Blocks network loads of one pane while the pane itself is offline (the program's switch is
// on every profile).
class PaneRequestInterceptor : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    std::atomic<bool> offline{false};
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (offline.load() && WebProfiles::BlockedOffline(info.requestUrl())) info.block(true);
    }
};

// The engine page, handing its virtual hooks to the pane.
class WebEngineHostPage : public QWebEnginePage {
public:
    WebEngineHostPage(WebEnginePane* pane, QWebEngineProfile* profile, QObject* parent)
        : QWebEnginePage(profile, parent), m_pane(pane) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        return m_pane->OnAcceptNavigation(url, int(type), isMainFrame);
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override {
        m_pane->OnConsoleMessage(int(level), message, line, source);
    }
    // New windows go through newWindowRequested (NewWindow2) only.
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
    void javaScriptAlert(const QUrl& origin, const QString& message) override {
        PageDialogRequest request = Dialog(PageDialogRequest::Alert, origin, message);
        m_pane->OnPageDialog(request);
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override {
        PageDialogRequest request = Dialog(PageDialogRequest::Confirm, origin, message);
        return m_pane->OnPageDialog(request);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override {
        PageDialogRequest request = Dialog(PageDialogRequest::Prompt, origin, message);
        request.defaultValue = defaultValue;
        const bool accepted = m_pane->OnPageDialog(request);
        if (accepted && result) *result = request.value;
        return accepted;
    }

private:
    static PageDialogRequest Dialog(PageDialogRequest::Kind kind, const QUrl& origin,
                                    const QString& message) {
        PageDialogRequest request;
        request.kind = kind;
        request.origin = origin.toString();
        request.message = message;
        return request;
    }

    WebEnginePane* m_pane;
};
