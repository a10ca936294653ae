package com.example.hello;

/** The bundled example application: prints its arguments and where it runs. */
public final class HelloApp {
    private HelloApp() {}

    public static void main(String[] args) {
        System.out.println("Hello from the example application");
        System.out.println("java.home=" + System.getProperty("java.home"));
        for (int i = 0; i < args.length; i++) {
            System.out.println("argument " + i + ": " + args[i]);
        }
    }
}
