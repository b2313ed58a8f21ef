// Entry routines of the Toolbox operations for 32-bit x86 (Windows, and 32-bit
// Linux for the routine test). Each one runs the bind hook when it is set, puts
// its ToolboxSelector in EAX and jumps to the dispatcher entry. The caller's
// cdecl arguments are not touched, so the dispatcher sees them exactly as
// pushed and returns straight to the caller with the operation's result.
#include "qtbinding/win32/binding.h"

#define CONCAT1(a, b) a##b
#define CONCAT(a, b) CONCAT1(a, b)
#define SYM(name) CONCAT(__USER_LABEL_PREFIX__, name)

#if defined(_WIN32)
#define FUNCTION_TYPE(name) .def SYM(name); .scl 2; .type 32; .endef
#else
#define FUNCTION_TYPE(name) .type SYM(name), @function
#endif

// The hook is called with ESP moved down 12 more bytes, so that a 16-byte
// aligned call site stays aligned for it (the 32-bit Linux ABI expects that;
// Windows needs only 4 bytes). EAX, ECX and EDX are caller-saved anyway.
#define ENTRY(name, selector)                                 \
    .globl SYM(name);                                         \
    FUNCTION_TYPE(name);                                      \
    .p2align 4;                                               \
SYM(name):                                                    \
    movl SYM(QtmlBinding) + QTML_BINDING_BIND_HOOK, %eax;     \
    testl %eax, %eax;                                         \
    jz 1f;                                                    \
    subl $12, %esp;                                           \
    call *%eax;                                               \
    addl $12, %esp;                                           \
1:  movl $selector, %eax;                                     \
    jmp *SYM(QtmlBinding) + QTML_BINDING_DISPATCHER;

    .text
#include "qtbinding/win32/entry_table.h"

#if defined(__linux__)
    .section .note.GNU-stack, "", @progbits
#endif
