#pragma once

// Registers one chat command per element of "ChatCommands", each bound to its position.
// Nothing is caught: the first bad element ends the registration, earlier ones stay.
void RegisterChatCommands();
