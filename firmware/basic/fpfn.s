; Floating-point functions.
        .module fpfn
