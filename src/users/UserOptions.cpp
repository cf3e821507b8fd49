#include "users/UserOptions.h"

#include "core/Errors.h"
#include "core/Settings.h"

using namespace core;

namespace {
const QString kAutoLogOutMts = QStringLiteral("AutoLogOutMts");
const QString kBeepOnPopup = QStringLiteral("BeepOnPopup");
const QString kSearchChoice = QStringLiteral("SearchChoice");
const QString kSSN = QStringLiteral("SSN");
const QString kFreezeAfterMinutes = QStringLiteral("FreezeAfterMinutes");
const QString kDiscardAfterMinutes = QStringLiteral("DiscardAfterMinutes");
const QString kMaxHistoryItems = QStringLiteral("MaxHistoryItems");
const QString kMaxBookmarkItems = QStringLiteral("MaxBookmarkItems");
} // namespace

UserOptions::UserOptions(const QString& user) : m_user(user) {
    m_autoLogOutMts = CInt(GetValue(m_user, kAutoLogOutMts, 30), 30);
    m_beepOnPopUp = CBool(GetValue(m_user, kBeepOnPopup, true), true);
    m_searchChoice = GetValue(m_user, kSearchChoice, "Msn");
    try {
        m_ssn = GetValue(m_user, kSSN, "", true);
    } catch (const BgError& e) {
        Errors::ReportErrorInfo(QStringLiteral("cOptions"), QStringLiteral("Class_Initialize"),
                                e.description());
    }
    m_freezeAfterMinutes = qMax(0, CInt(GetValue(m_user, kFreezeAfterMinutes, 10), 10));
    m_discardAfterMinutes = qMax(0, CInt(GetValue(m_user, kDiscardAfterMinutes, 30), 30));
    m_maxHistoryItems = CInt(GetValue(m_user, kMaxHistoryItems, 100), 100);
    m_maxBookmarkItems = CInt(GetValue(m_user, kMaxBookmarkItems, 40), 40);
}

void UserOptions::SetAutoLogOutMts(int minutes) {
    m_autoLogOutMts = minutes;
    SaveValue(m_user, kAutoLogOutMts, QString::number(minutes));
}

void UserOptions::SetBeepOnPopUp(bool beep) {
    m_beepOnPopUp = beep;
    SaveValue(m_user, kBeepOnPopup, BoolText(beep));
}

void UserOptions::SetSearchChoice(const QString& choice) {
    m_searchChoice = choice;
    SaveValue(m_user, kSearchChoice, choice);
}

void UserOptions::SetSSN(const QString& ssn) {
    if (ssn == m_ssn) return;
    SaveValue(m_user, kSSN, ssn, true);
    m_ssn = ssn;
}

void UserOptions::SetFreezeAfterMinutes(int minutes) {
    m_freezeAfterMinutes = minutes;
    SaveValue(m_user, kFreezeAfterMinutes, QString::number(minutes));
}

void UserOptions::SetDiscardAfterMinutes(int minutes) {
    m_discardAfterMinutes = minutes;
    SaveValue(m_user, kDiscardAfterMinutes, QString::number(minutes));
}

void UserOptions::SetMaxHistoryItems(int items) {
    m_maxHistoryItems = items;
    SaveValue(m_user, kMaxHistoryItems, QString::number(items));
}

void UserOptions::SetMaxBookmarkItems(int items) {
    m_maxBookmarkItems = items;
    SaveValue(m_user, kMaxBookmarkItems, QString::number(items));
}
