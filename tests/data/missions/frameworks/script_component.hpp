#define PREFIX mrw
#define COMPONENT main
#define DOUBLES(var1,var2) var1##_##var2
#define TRIPLES(var1,var2,var3) var1##_##var2##_##var3
#define QUOTE(var1) #var1
#define ADDON DOUBLES(PREFIX,COMPONENT)
#define GVAR(var1) DOUBLES(ADDON,var1)
#define QGVAR(var1) QUOTE(GVAR(var1))
#define COMPILE_FILE(var1) compile preprocessFileLineNumbers QUOTE(TRIPLES(functions,fnc,var1).sqf)
