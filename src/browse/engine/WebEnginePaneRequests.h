#pragma once

#include <optional>
#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineFullScreenRequest>

#include "browse/engine/WebEnginePane.h"

// What a WebEnginePane keeps of its page's requests besides navigating: the certificate error
// and the full-screen request that wait for the user, the full-screen window, and the watch on
// whether the page still answers.
struct WebEnginePane::PageRequestState {
    std::optional<QWebEngineCertificateError> certificateError;
    std::optional<QWebEngineFullScreenRequest> fullScreenRequest;
    QPointer<QWidget> fullScreenWindow;

    // A trivial script goes to the page every few seconds while it is on show; an answer that
    // takes longer than unresponsiveAfterMs makes the page unresponsive.
    QTimer probe;
    QElapsedTimer probeSent; // valid while a probe waits for its answer
    int probeSerial = 0;
    int unresponsiveAfterMs = 10000;
    bool unresponsive = false;
    bool crashed = false;
    bool reloadWhenGone = false; // the process was ended to reload a page that did not respond
};
