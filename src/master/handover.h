#pragma once
// What a master list hands to its edit pop-up and what the pop-up hands back.
#include "signin.h"   // SelectedKey: the record the pop-up shows; empty asks for a new one
#include <QString>

// Vehicle owners only: the owner's 휴대전화 without dashes.
extern QString SelectedPhone;
// Set by a pop-up as soon as it starts writing to the store; the list reloads when it is set.
extern bool DataChanged;

// The numeric value of a key text, as a statement writes it bare: the leading digits (with an
// optional sign), 0 when there are none. A key is never pasted into a statement as typed.
qint64 KeyNumber(const QString& key);
