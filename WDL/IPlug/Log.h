#pragma once
// Trace points and the names of host selectors, properties and scopes. Tracing is
// switched off in this system: the sink prints nothing and the names are empty, so
// trace calls cost nothing on any thread.

void Trace(const char* funcName, int line, const char* format, ...) __attribute__((format(printf, 3, 4)));

#define TRACE Trace(__FUNCTION__, __LINE__, "")

const char* VSTOpcodeStr(int opCode);
const char* AUSelectStr(int select);
const char* AUPropertyStr(int propID);
const char* AUScopeStr(int scope);
