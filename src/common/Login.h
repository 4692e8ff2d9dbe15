#pragma once

#include <QString>

// Who logs in to the station server: the callsign and password the operator typed. The
// station's login questions are answered with it, and the chat and the spots say who we are.
struct Login {
    QString callsign;
    QString password;
};
