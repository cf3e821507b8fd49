#include "users/UserOptions.h"

#include "core/Errors.h"
#include "core/Settings.h"

using namespace core;

using namespace stored::user;

UserOptions::UserOptions(const QString& user) : m_user(user) {
    m_autoLogOutMts = ReadInt(m_user, kAutoLogOutMinutes);
    m_beepOnPopUp = ReadBool(m_user, kBeepOnPopUp);
    m_searchChoice = ReadText(m_user, kSearchChoice);
    try {
        m_ssn = GetValue(m_user, kSSN, "", true);
    } catch (const BgError& e) {
        Errors::ReportErrorInfo(QStringLiteral("cOptions"), QStringLiteral("Class_Initialize"),
                                e.Description());
    }
    m_freezeAfterMinutes = qMax(0, ReadInt(m_user, kFreezeAfterMinutes));
    m_discardAfterMinutes = qMax(0, ReadInt(m_user, kDiscardAfterMinutes));
    m_maxHistoryItems = ReadInt(m_user, kMaxHistoryItems);
    m_maxBookmarkItems = ReadInt(m_user, kMaxBookmarkItems);
}

void UserOptions::SetAutoLogOutMts(int minutes) {
    m_autoLogOutMts = minutes;
    SaveValue(m_user, kAutoLogOutMinutes.name, QString::number(minutes));
}

void UserOptions::SetBeepOnPopUp(bool beep) {
    m_beepOnPopUp = beep;
    SaveValue(m_user, kBeepOnPopUp.name, BoolText(beep));
}

void UserOptions::SetSearchChoice(const QString& choice) {
    m_searchChoice = choice;
    SaveValue(m_user, kSearchChoice.name, choice);
}

void UserOptions::SetSSN(const QString& ssn) {
    if (ssn == m_ssn) return;
    SaveValue(m_user, kSSN, ssn, true);
    m_ssn = ssn;
}

void UserOptions::SetFreezeAfterMinutes(int minutes) {
    m_freezeAfterMinutes = minutes;
    SaveValue(m_user, kFreezeAfterMinutes.name, QString::number(minutes));
}

void UserOptions::SetDiscardAfterMinutes(int minutes) {
    m_discardAfterMinutes = minutes;
    SaveValue(m_user, kDiscardAfterMinutes.name, QString::number(minutes));
}

void UserOptions::SetMaxHistoryItems(int items) {
    m_maxHistoryItems = items;
    SaveValue(m_user, kMaxHistoryItems.name, QString::number(items));
}

void UserOptions::SetMaxBookmarkItems(int items) {
    m_maxBookmarkItems = items;
    SaveValue(m_user, kMaxBookmarkItems.name, QString::number(items));
}
