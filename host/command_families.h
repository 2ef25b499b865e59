#pragma once
class HandlerTable;

// The handler table of the program: the engine's own commands and every command family.
const HandlerTable& BuildHandlerTable();
