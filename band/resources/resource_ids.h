#pragma once
// Resource identifiers of quellmark.dll. Plain macros: the resource compiler reads them too.

#define IDR_QUELLMARK_TYPELIB 1
#define IDR_QUELLMARK_REGISTRY 101
