package bridgetest;

/** A class without a static main(String[]). */
public class NoMain {
    public void main() {}
}
