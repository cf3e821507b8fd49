#include "browse/engine/BrowserPane.h"

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
