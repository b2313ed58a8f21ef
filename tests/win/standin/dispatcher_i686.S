// theQuickTimeDispatcher of the stand-in QuickTime.qts (32-bit x86 Windows).
// The caller's entry routine has put the selector in EAX and jumped here: ESP
// points at the caller's return address, its cdecl arguments above it. The
// selector is pushed for the resolver and popped again, and the resolved
// routine is jumped to with ESP back where it was, so it finds the return
// address and every argument where the caller left them and returns straight
// to the caller. The resolver may change only EAX, ECX and EDX, which are the
// caller's to lose anyway.
    .text
    .globl _theQuickTimeDispatcher
    .def _theQuickTimeDispatcher; .scl 2; .type 32; .endef
    .p2align 4
_theQuickTimeDispatcher:
    pushl %eax
    call _StandInResolve
    addl $4, %esp
    jmp *%eax
