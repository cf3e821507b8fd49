#include "browse/engine/BrowserPane.h"

#include <iterator>

BrowserPane::BrowserPane(QObject* parent) : QObject(parent) {}

BrowserPane::~BrowserPane() = default;

QString BrowserPane::DocumentTypeName() const {
    return IsHtmlDocument() ? QStringLiteral("HTMLDocument") : QStringLiteral("Document");
}

void BrowserPane::SetTextSize(int size) {
    m_textSize = qBound(0, size, 4);
}

double BrowserPane::ZoomForTextSize(int size) {
    static const double zoom[] = {0.8, 0.9, 1.0, 1.2, 1.4};
    return zoom[qBound(0, size, 4)];
}

void BrowserPane::ReadPageFacts(std::function<void(const PageFacts&)> done) const {
    PageFacts facts;
    if (const DocumentPtr document = Document()) facts.contentType = document->contentType();
    if (done) done(facts);
}

namespace {
// As the common browsers step.
constexpr int kZoomSteps[] = {25, 33, 50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400, 500};
} // namespace

void BrowserPane::SetZoomPercent(int percent) {
    percent = qBound(kMinZoom, percent, kMaxZoom);
    if (percent == m_zoomPercent) return;
    m_zoomPercent = percent;
    emit ZoomChanged(percent);
}

int BrowserPane::NextZoomPercent(int percent, int direction) {
    if (direction > 0) {
        for (int step : kZoomSteps)
            if (step > percent) return step;
        return kMaxZoom;
    }
    for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
        if (*it < percent) return *it;
    return kMinZoom;
}
