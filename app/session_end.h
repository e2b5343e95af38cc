// What the poll window asks for when Windows ends the session.
#pragma once

void SaveAndRestoreForSessionEnd();
