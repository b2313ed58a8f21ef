// Entry routines of the Toolbox operations for x86-64 Windows (the test build
// run under Wine). Each one runs the bind hook when it is set, puts its
// ToolboxSelector in EAX and jumps to the dispatcher entry. The argument
// registers RCX, RDX, R8 and R9, the caller's shadow space and the stacked
// arguments reach the dispatcher untouched.
#include "qtbinding/win32/binding.h"

// Around the hook call: at entry RSP is 8 modulo 16; 72 bytes more make it
// aligned, with 32 bytes of shadow space for the hook at 0(%rsp) and the four
// argument registers saved at 32..63(%rsp), inside our own frame.
#define ENTRY(name, selector)                                 \
    .globl name;                                              \
    .def name; .scl 2; .type 32; .endef;                      \
    .p2align 4;                                               \
name:                                                         \
    movq QtmlBinding + QTML_BINDING_BIND_HOOK(%rip), %rax;    \
    testq %rax, %rax;                                         \
    jz 1f;                                                    \
    subq $72, %rsp;                                           \
    movq %rcx, 32(%rsp);                                      \
    movq %rdx, 40(%rsp);                                      \
    movq %r8, 48(%rsp);                                       \
    movq %r9, 56(%rsp);                                       \
    call *%rax;                                               \
    movq 32(%rsp), %rcx;                                      \
    movq 40(%rsp), %rdx;                                      \
    movq 48(%rsp), %r8;                                       \
    movq 56(%rsp), %r9;                                       \
    addq $72, %rsp;                                           \
1:  movl $selector, %eax;                                     \
    jmp *QtmlBinding + QTML_BINDING_DISPATCHER(%rip);

    .text
#include "qtbinding/win32/entry_table.h"
