#pragma once

#include "base/messages.h"

namespace update::msg {

// The notice is written in French whatever the interface language.
inline constexpr char ServerVersionLine[] = "Version disponible sur le serveur : ";
inline constexpr char ClearNoticeHint[] = "Cliquez sur !!UPDATE!! pour effacer la notification.";

inline const Message NoAnswer{"Update check: no complete answer from %1 within %2 seconds",
                              "Vérification de mise à jour : pas de réponse complète de %1 en %2 secondes"};
inline const Message TooLong{"Update check: the answer of %1 is longer than %2 bytes",
                             "Vérification de mise à jour : la réponse de %1 dépasse %2 octets"};
inline const Message Redirected{
    "Update check: %1 answered HTTP %2, a redirection to \"%3\" that is not followed",
    "Vérification de mise à jour : %1 a répondu HTTP %2, une redirection vers \"%3\" qui n'est pas suivie"};
inline const Message ErrorStatus{"Update check: %1 answered HTTP %2",
                                 "Vérification de mise à jour : %1 a répondu HTTP %2"};
inline const Message Unreachable{"Update check: cannot get %1: %2",
                                 "Vérification de mise à jour : impossible d'obtenir %1 : %2"};

} // namespace update::msg
