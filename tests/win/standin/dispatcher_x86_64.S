// theQuickTimeDispatcher of the stand-in QuickTime.qts (x86-64 Windows).
// The caller's entry routine has put the selector in EAX and jumped here with
// the caller's arguments in place. The four argument registers are parked in
// the caller's shadow space (which belongs to the routine being called), the
// resolver is called with the selector on a 16-byte aligned stack, the
// registers are restored and the resolved routine is jumped to, so it sees
// every argument, the stacked fifth and sixth included, and returns straight
// to the caller.
    .text
    .globl theQuickTimeDispatcher
    .def theQuickTimeDispatcher; .scl 2; .type 32; .endef
    .p2align 4
theQuickTimeDispatcher:
    movq %rcx, 8(%rsp)
    movq %rdx, 16(%rsp)
    movq %r8, 24(%rsp)
    movq %r9, 32(%rsp)
    subq $40, %rsp          // shadow space for the resolver; RSP now 16-byte aligned
    movl %eax, %ecx
    call StandInResolve
    addq $40, %rsp
    movq 8(%rsp), %rcx
    movq 16(%rsp), %rdx
    movq 24(%rsp), %r8
    movq 32(%rsp), %r9
    jmp *%rax
